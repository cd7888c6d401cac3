// The generator's raw SQLite.
#include "table_filler.h"

#include <stdexcept>

#include "sqlite/sql_text.h"

namespace korvane::bench {

void check(sqlite3* db, int rc, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

void exec(sqlite3* db, const std::string& sql) {
  check(db, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), sql.c_str());
}

sqlite3* openFile(const std::filesystem::path& file) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    const std::string error = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + file.string() + ": " + error);
  }
  return db;
}

TableFiller::TableFiller(sqlite3* db, const std::string& table) : db_(db) {
  sqlite3_stmt* info = nullptr;
  check(db, sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info(?1)", -1, &info, nullptr),
        "table_info");
  sqlite3_bind_text(info, 1, table.c_str(), -1, SQLITE_TRANSIENT);
  while (sqlite3_step(info) == SQLITE_ROW)
    columns_.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(info, 0)));
  sqlite3_finalize(info);
  if (columns_.empty()) throw std::runtime_error("no table " + table + " in the built schema");
  std::string names, marks;
  for (size_t i = 0; i < columns_.size(); ++i) {
    names += (i ? ", " : "") + sqlite::quoteName(columns_[i]);
    marks += i ? ", ?" : "?";
  }
  const std::string sql =
      "INSERT INTO " + sqlite::quoteName(table) + " (" + names + ") VALUES (" + marks + ")";
  check(db, sqlite3_prepare_v2(db, sql.c_str(), -1, &insert_, nullptr), sql.c_str());
}

TableFiller::~TableFiller() {
  sqlite3_finalize(insert_);
}

int TableFiller::index(const std::string& name) const {
  for (size_t i = 0; i < columns_.size(); ++i)
    if (sqlite3_stricmp(columns_[i].c_str(), name.c_str()) == 0) return static_cast<int>(i);
  return -1;
}

void TableFiller::row() {
  check(db_, sqlite3_step(insert_), "insert");
  sqlite3_reset(insert_);
  sqlite3_clear_bindings(insert_);
  ++rows_;
}

}  // namespace korvane::bench
