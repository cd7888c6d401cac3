// Tables rebuilt without keys or indexes.
#include "keyless_tables.h"

#include <string>
#include <vector>

#include "sqlite/sql_text.h"
#include "table_filler.h"

namespace korvane::bench {

void dropKeysAndIndexes(sqlite3* db) {
  std::vector<std::string> tables;
  sqlite3_stmt* list = nullptr;
  check(db,
        sqlite3_prepare_v2(db,
                           "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                           "'sqlite\\_%' ESCAPE '\\' AND name <> 'MSysFieldProperties'",
                           -1, &list, nullptr),
        "table list");
  while (sqlite3_step(list) == SQLITE_ROW)
    tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
  sqlite3_finalize(list);
  exec(db, "BEGIN");
  for (const auto& table : tables) {
    std::string fields;
    sqlite3_stmt* info = nullptr;
    check(db,
          sqlite3_prepare_v2(
              db, "SELECT name, type, \"notnull\", dflt_value FROM pragma_table_info(?1)", -1,
              &info, nullptr),
          "table_info");
    sqlite3_bind_text(info, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(info) == SQLITE_ROW) {
      auto text = [&](int i) {
        const unsigned char* v = sqlite3_column_text(info, i);
        return v ? std::string(reinterpret_cast<const char*>(v)) : std::string();
      };
      sqlite::appendToList(fields, sqlite::quoteName(text(0)) + " " + text(1));
      if (sqlite3_column_int(info, 2)) fields += " NOT NULL";
      if (sqlite3_column_type(info, 3) != SQLITE_NULL) fields += " DEFAULT (" + text(3) + ")";
    }
    sqlite3_finalize(info);
    exec(db, "CREATE TABLE korvane_plain (" + fields + ")");
    exec(db, "INSERT INTO korvane_plain SELECT * FROM " + sqlite::quoteName(table));
    exec(db, "DROP TABLE " + sqlite::quoteName(table));
    exec(db, "ALTER TABLE korvane_plain RENAME TO " + sqlite::quoteName(table));
  }
  exec(db, "COMMIT");
}

}  // namespace korvane::bench
