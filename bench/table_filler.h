// Raw SQLite for the generator: a checked statement, a file opened for
// writing, and the prepared insert that fills a table row by row. Every
// SQLite error throws std::runtime_error.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace korvane::bench {

// Throws unless `rc` is SQLITE_OK, SQLITE_DONE or SQLITE_ROW.
void check(sqlite3* db, int rc, const char* what);

void exec(sqlite3* db, const std::string& sql);

// Opens an existing file read-write; the caller closes it.
sqlite3* openFile(const std::filesystem::path& file);

// One prepared INSERT over every column of a table as the file has it. The
// row function binds values by column name; columns it leaves alone are Null.
class TableFiller {
 public:
  TableFiller(sqlite3* db, const std::string& table);
  ~TableFiller();
  TableFiller(const TableFiller&) = delete;
  TableFiller& operator=(const TableFiller&) = delete;

  const std::vector<std::string>& columns() const { return columns_; }
  // The column named `name` (in any letter case), or -1: a value bound to
  // -1 is dropped, so a layout without the column simply leaves it out.
  int index(const std::string& name) const;

  // Binds a value to `column` of the next row (inline: called for every
  // field of millions of rows).
  void text(int column, const std::string& value) {
    if (column >= 0)
      sqlite3_bind_text(insert_, column + 1, value.c_str(), static_cast<int>(value.size()),
                        SQLITE_TRANSIENT);
  }
  void real(int column, double value) {
    if (column >= 0) sqlite3_bind_double(insert_, column + 1, value);
  }
  void integer(int column, std::int64_t value) {
    if (column >= 0) sqlite3_bind_int64(insert_, column + 1, value);
  }
  void null(int column) {
    if (column >= 0) sqlite3_bind_null(insert_, column + 1);
  }

  // Writes the bound row and clears the bindings for the next.
  void row();
  std::int64_t rows() const { return rows_; }

 private:
  sqlite3* db_;
  sqlite3_stmt* insert_ = nullptr;
  std::vector<std::string> columns_;
  std::int64_t rows_ = 0;
};

}  // namespace korvane::bench
