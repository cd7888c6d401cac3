// Plain SQLite on a file, for tests.
#include "support/sqlite_file.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

namespace korvane::support {

namespace {

struct Closer {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Handle = std::unique_ptr<sqlite3, Closer>;

Handle open(const std::filesystem::path& file, int flags) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
  Handle db(raw);
  if (rc != SQLITE_OK) {
    throw std::runtime_error("cannot open " + file.string() + ": " + sqlite3_errstr(rc));
  }
  return db;
}

}  // namespace

Rows readRows(const std::filesystem::path& file, const std::string& sql) {
  const Handle db = open(file, SQLITE_OPEN_READONLY);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string(sqlite3_errmsg(db.get())) + " in: " + sql);
  }
  Rows rows;
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    std::vector<std::string>& row = rows.emplace_back();
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
      row.emplace_back(text ? std::string(text, sqlite3_column_bytes(statement, i)) : kNull);
    }
  }
  sqlite3_finalize(statement);
  if (rc != SQLITE_DONE) {
    throw std::runtime_error(std::string(sqlite3_errmsg(db.get())) + " in: " + sql);
  }
  return rows;
}

std::vector<std::string> readColumn(const std::filesystem::path& file, const std::string& sql) {
  std::vector<std::string> values;
  for (std::vector<std::string>& row : readRows(file, sql)) values.push_back(std::move(row.at(0)));
  return values;
}

std::string readValue(const std::filesystem::path& file, const std::string& sql) {
  Rows rows = readRows(file, sql);
  if (rows.size() != 1 || rows[0].size() != 1) throw std::runtime_error("not one value: " + sql);
  return rows[0][0];
}

void runSql(const std::filesystem::path& file, const std::string& sql) {
  const Handle db = open(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  char* error = nullptr;
  if (sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string text = error ? error : "unknown error";
    sqlite3_free(error);
    throw std::runtime_error(text + " in: " + sql);
  }
}

}  // namespace korvane::support
