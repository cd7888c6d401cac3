// Reads tables, views and fields from sqlite_master and PRAGMA table_xinfo,
// and keeps field properties in MSysFieldProperties.
#include "db/statements/catalog.h"

#include "db/values/jet_collation.h"
#include "sqlite/sql_text.h"
#include "text/case_fold.h"

namespace korvane::db {

using sqlite::qualifiedName;
using sqlite::quoteName;
using sqlite::quoteText;

namespace {

// The precision and scale of a declared "DECIMAL(p,s)" or "NUMERIC(p)";
// 0 for what is not given.
void readPrecision(std::string_view declared, ColumnInfo& c) {
  const size_t open = declared.find('(');
  if (open == std::string_view::npos) return;
  int* into[] = {&c.precision, &c.scale};
  int part = 0;
  for (char ch : declared.substr(open + 1)) {
    if (ch >= '0' && ch <= '9' && *into[part] < 100) {
      *into[part] = *into[part] * 10 + (ch - '0');
    } else if (ch == ',' && part == 0) {
      part = 1;
    } else if (ch != ' ') {
      break;
    }
  }
}

// A table whose key is one field declared INTEGER keeps its rows under that
// number: SQLite gives a row the next one when an append leaves it out. (In
// a table WITHOUT ROWID it is an ordinary key, which SQLite itself keeps
// from Null.)
void markRowidAlias(TableInfo& table, const std::vector<std::string>& declaredTypes) {
  int keyFields = 0;
  for (const ColumnInfo& c : table.columns) keyFields += c.inPrimaryKey;
  if (keyFields != 1) return;
  for (size_t i = 0; i < table.columns.size(); ++i)
    if (table.columns[i].inPrimaryKey)
      table.columns[i].rowidAlias = text::compareIgnoringCase(declaredTypes[i], "INTEGER") == 0;
}

}  // namespace

const ColumnInfo* TableInfo::findColumn(std::string_view name) const {
  for (const auto& c : columns)
    if (sameName(c.name, name)) return &c;
  return nullptr;
}

const ColumnInfo* TableInfo::counter() const {
  for (const auto& c : columns)
    if (c.type == JetType::kCounter) return &c;
  return nullptr;
}

Catalog::Catalog(sqlite::Connection& connection, std::string schema)
    : connection_(connection), schema_(std::move(schema)) {}

void Catalog::refresh() {
  loaded_ = false;
  entries_.clear();
  tables_.clear();
}

void Catalog::load() {
  if (loaded_) return;
  connection_.query("SELECT name, type = 'view' FROM " + quoteName(schema_) +
                        ".sqlite_master WHERE type IN ('table', 'view') AND name NOT LIKE "
                        "'sqlite\\_%' ESCAPE '\\' ORDER BY rowid",
                    {}, [&](const sqlite::Connection::ColumnText& col) {
                      std::string name = col(0);
                      if (!sameName(name, kPropertyTable))
                        entries_.push_back({std::move(name), col(1) == "1"});
                    });
  loaded_ = true;
}

std::vector<std::string> Catalog::tableNames() {
  load();
  std::vector<std::string> names;
  for (const auto& e : entries_)
    if (!e.isView) names.push_back(e.name);
  return names;
}

const TableInfo* Catalog::findTable(std::string_view name) {
  return find(name, false);
}

const TableInfo* Catalog::findSource(std::string_view name) {
  return find(name, true);
}

const TableInfo* Catalog::find(std::string_view name, bool viewsToo) {
  load();
  const Entry* match = nullptr;
  for (const auto& e : entries_) {
    if (e.isView && !viewsToo) continue;
    if (e.name == name) {
      match = &e;
      break;
    }
    if (!match && sameName(e.name, name)) match = &e;
  }
  return match ? read(*match) : nullptr;
}

// The fields of `entry`, read once until the next refresh. Hidden columns
// (1: of a virtual table) are left out; 2 and 3 are generated columns.
const TableInfo* Catalog::read(const Entry& entry) {
  for (const auto& t : tables_)
    if (t.name == entry.name) return &t;
  TableInfo table;
  std::vector<std::string> declaredTypes;
  table.name = entry.name;
  table.isView = entry.isView;
  connection_.query(
      "SELECT name, type, \"notnull\", coalesce(upper(dflt_value) <> 'NULL', 0), hidden, pk > 0 "
      "FROM pragma_table_xinfo(?1, ?2) WHERE hidden <> 1",
      {table.name, schema_}, [&](const sqlite::Connection::ColumnText& col) {
        ColumnInfo c;
        c.name = col(0);
        c.type = jetTypeOfDeclared(col(1));
        if (c.type == JetType::kDecimal) readPrecision(col(1), c);
        c.notNull = col(2) == "1";
        c.hasDefault = col(3) == "1";
        c.generated = col(4) != "0";
        c.inPrimaryKey = col(5) == "1";
        table.columns.push_back(std::move(c));
        declaredTypes.push_back(col(1));
      });
  markRowidAlias(table, declaredTypes);
  tables_.push_back(std::move(table));
  return &tables_.back();
}

bool Catalog::hasIndex(std::string_view name) {
  bool found = false;
  connection_.query(
      "SELECT name FROM " + quoteName(schema_) + ".sqlite_master WHERE type = 'index'", {},
      [&](const sqlite::Connection::ColumnText& col) {
        if (sameName(col(0), name)) found = true;
      });
  return found;
}

bool Catalog::hasPropertyTable() {
  bool found = false;
  connection_.query(
      "SELECT 1 FROM " + quoteName(schema_) + ".sqlite_master WHERE type = 'table' AND name = ?1",
      {std::string(kPropertyTable)}, [&](const sqlite::Connection::ColumnText&) { found = true; });
  return found;
}

void Catalog::setFieldProperty(const std::string& table, const std::string& field,
                               const std::string& property, const std::string& value) {
  const std::string target = qualifiedName(schema_, kPropertyTable);
  connection_.exec("CREATE TABLE IF NOT EXISTS " + target +
                   " (TableName VARCHAR(64) NOT NULL, FieldName VARCHAR(64) NOT NULL, "
                   "PropertyName VARCHAR(64) NOT NULL, Value LONGTEXT, "
                   "PRIMARY KEY (TableName, FieldName, PropertyName))");
  connection_.exec("INSERT OR REPLACE INTO " + target + " VALUES (" + quoteText(table) + ", " +
                   quoteText(field) + ", " + quoteText(property) + ", " + quoteText(value) + ")");
}

std::optional<std::string> Catalog::fieldProperty(const std::string& table,
                                                  const std::string& field,
                                                  const std::string& property) {
  if (!hasPropertyTable()) return std::nullopt;
  std::optional<std::string> value;
  connection_.query("SELECT Value FROM " + qualifiedName(schema_, kPropertyTable) +
                        " WHERE TableName = ?1 AND FieldName = ?2 AND PropertyName = ?3",
                    {table, field, property},
                    [&](const sqlite::Connection::ColumnText& col) { value = col(0); });
  return value;
}

std::string Catalog::dropFieldPropertiesSql(const std::string& table) {
  if (!hasPropertyTable()) return "";
  return "DELETE FROM " + qualifiedName(schema_, kPropertyTable) +
         " WHERE TableName = " + quoteText(table);
}

}  // namespace korvane::db
