// CREATE TABLE, CREATE INDEX and DROP TABLE.
//
// Jet types become declared types (jet_types.h). Text fields of a key or index get SQLite's NOCASE
// so that 'abc' and 'ABC' collide as they do in Jet (NOCASE folds ASCII only; the engine's own
// collation is never stored, so any SQLite tool reads the file). A primary key's fields are
// required; a unique key's may be Null (several times, as in Jet). Dropping a table drops its field
// properties.
#include <algorithm>

#include "db/jet_collation.h"
#include "db/sql_expr.h"
#include "db/sql_writer.h"
#include "sqlite/jet_errors.h"
#include "sqlite/sql_text.h"

namespace korvane::db {

using sqlite::appendToList;
using sqlite::qualifiedName;
using sqlite::quoteName;

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& n) { return sameName(n, name); });
}

std::string literalSql(const Expr& e) {
  if (e.kind == ExprKind::kNegate) return "-" + e.args[0]->value;
  return sqlOfExpr(e, true);
}

std::string columnSql(const ColumnDef& c, bool inPrimaryKey, bool inKey) {
  std::string sql = quoteName(c.name) + " " + declaredTypeOf(c.type, c.size, c.scale);
  if (c.notNull || inPrimaryKey) sql += " NOT NULL";
  if (c.defaultValue) sql += " DEFAULT " + literalSql(*c.defaultValue);
  if (inKey && isTextType(c.type)) sql += " COLLATE NOCASE";
  return sql;
}

std::string keySql(const KeyConstraint& k) {
  std::string list;
  for (const auto& name : k.columns) appendToList(list, quoteName(name));
  return (k.primaryKey ? "PRIMARY KEY (" : "UNIQUE (") + list + ")";
}

// All keys of the table: table constraints plus column-level ones.
std::vector<KeyConstraint> keysOf(const CreateTableStmt& s) {
  std::vector<KeyConstraint> keys = s.keys;
  for (const auto& c : s.columns) {
    if (c.primaryKey) keys.push_back({true, {c.name}});
    if (c.unique) keys.push_back({false, {c.name}});
  }
  if (std::count_if(keys.begin(), keys.end(), [](const auto& k) { return k.primaryKey; }) > 1)
    raiseJet(jeterr::kPrimaryKeyExists);
  return keys;
}

}  // namespace

SqlSteps writeCreateTable(const CreateTableStmt& s, Catalog& catalog) {
  if (catalog.findTable(s.table) || sameName(s.table, kPropertyTable))
    raiseJet(jeterr::kTableExists, s.table);
  std::vector<std::string> names;
  for (const auto& c : s.columns) {
    if (contains(names, c.name)) raiseJet(jeterr::kFieldDefinedTwice);
    names.push_back(c.name);
  }
  const std::vector<KeyConstraint> keys = keysOf(s);
  std::vector<std::string> keyColumns, primaryColumns;
  for (const auto& k : keys)
    for (const auto& name : k.columns) {
      if (!contains(names, name)) raiseJet(jeterr::kCannotFindTableOrConstraint);
      keyColumns.push_back(name);
      if (k.primaryKey) primaryColumns.push_back(name);
    }
  std::string body;
  for (const auto& c : s.columns)
    appendToList(body,
                 columnSql(c, contains(primaryColumns, c.name), contains(keyColumns, c.name)));
  for (const auto& k : keys) body += ", " + keySql(k);
  return {"CREATE TABLE " + qualifiedName(catalog.schema(), s.table) + " (" + body + ")"};
}

SqlSteps writeCreateIndex(const CreateIndexStmt& s, Catalog& catalog) {
  const TableInfo* table = catalog.findTable(s.table);
  if (!table) raiseJet(jeterr::kCannotFindTableOrConstraint);
  if (catalog.hasIndex(s.index)) raiseJet(jeterr::kIndexExists);
  std::string list;
  for (const auto& ic : s.columns) {
    const ColumnInfo* c = table->findColumn(ic.name);
    if (!c) raiseJet(jeterr::kCannotFindTableOrConstraint);
    appendToList(list, quoteName(c->name) + (isTextType(c->type) ? " COLLATE NOCASE" : "") +
                           (ic.descending ? " DESC" : ""));
  }
  const bool unique = s.unique || s.primary;
  return {"CREATE " + std::string(unique ? "UNIQUE " : "") + "INDEX " +
          qualifiedName(catalog.schema(), s.index) + " ON " + quoteName(table->name) + " (" + list +
          ")"};
}

SqlSteps writeDropTable(const std::string& name, Catalog& catalog, const JetError& missingError) {
  const TableInfo* table = catalog.findTable(name);
  if (!table) raiseJet(missingError, name);
  SqlSteps steps = {"DROP TABLE " + qualifiedName(catalog.schema(), table->name)};
  if (std::string properties = catalog.dropFieldPropertiesSql(table->name); !properties.empty())
    steps.push_back(properties);
  return steps;
}

}  // namespace korvane::db
