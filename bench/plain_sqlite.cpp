// The plain SQLite connection of the benchmark.
#include "plain_sqlite.h"

#include "children.h"
#include "sqlite/sql_text.h"

namespace korvane::bench {

Sqlite::Sqlite(const std::filesystem::path& file, bool readOnly, bool synchronousOff) {
  const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  if (sqlite3_open_v2(file.c_str(), &db_, flags, nullptr) != SQLITE_OK)
    fail("cannot open " + file.string());
  if (synchronousOff) exec("PRAGMA synchronous=OFF");
}

Sqlite::~Sqlite() {
  sqlite3_close(db_);
}

void Sqlite::exec(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string text = error ? error : "?";
    sqlite3_free(error);
    fail("SQLite: " + text + " in: " + sql);
  }
}

std::string Sqlite::text(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    fail(std::string("SQLite: ") + sqlite3_errmsg(db_) + " in: " + sql);
  std::string out;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    if (!out.empty()) out += ';';
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* v = sqlite3_column_text(stmt, i);
      out += (i ? "," : "") + std::string(v ? reinterpret_cast<const char*>(v) : "NULL");
    }
  }
  sqlite3_finalize(stmt);
  return out;
}

std::vector<std::string> Sqlite::columns(const std::string& table) {
  std::vector<std::string> names;
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db_, "SELECT name FROM pragma_table_info(?1)", -1, &stmt, nullptr);
  sqlite3_bind_text(stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
  while (sqlite3_step(stmt) == SQLITE_ROW)
    names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  sqlite3_finalize(stmt);
  if (names.empty()) fail("no table " + table);
  return names;
}

std::string list(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : ", ") + sqlite::quoteName(n);
  return out;
}

}  // namespace korvane::bench
