// CREATE TABLE, CREATE INDEX and DROP TABLE.
//
// Jet types become declared types (jet_types.h). Text fields of a key or index get SQLite's NOCASE
// so that 'abc' and 'ABC' collide as they do in Jet (NOCASE folds ASCII only; the engine's own
// collation is never stored, so any SQLite tool reads the file). A unique key's fields may be Null
// (several times, as in Jet). Dropping a table drops its field properties.
#include "db/values/sql_literal.h"
#include "db/writers/sql_writer.h"
#include "invariant/invariant.h"
#include "sqlite/sql_text.h"

namespace korvane::db {

using sqlite::appendToList;
using sqlite::qualifiedName;
using sqlite::quoteName;

namespace {

std::string columnSql(const BoundColumnDef& c) {
  std::string sql = quoteName(c.name) + " " + declaredTypeOf(c.type, c.size, c.scale);
  if (c.required) sql += " NOT NULL";
  if (c.defaultValue) sql += " DEFAULT " + sqlLiteral(*c.defaultValue);
  if (c.inKey && isTextType(c.type)) sql += " COLLATE NOCASE";
  return sql;
}

std::string keySql(const KeyConstraint& k) {
  std::string list;
  for (const auto& name : k.columns) appendToList(list, quoteName(name));
  return (k.primaryKey ? "PRIMARY KEY (" : "UNIQUE (") + list + ")";
}

}  // namespace

SqlSteps writeCreateTable(const BoundCreateTable& s) {
  std::string body;
  for (const auto& c : s.columns) appendToList(body, columnSql(c));
  for (const auto& k : s.keys) body += ", " + keySql(k);
  return {"CREATE TABLE " + qualifiedName(s.schema, s.table) + " (" + body + ")"};
}

SqlSteps writeCreateIndex(const BoundCreateIndex& s) {
  KORVANE_ASSERT(s.table != nullptr);
  std::string list;
  for (const auto& ic : s.columns)
    appendToList(list, quoteName(ic.field->name) +
                           (isTextType(ic.field->type) ? " COLLATE NOCASE" : "") +
                           (ic.descending ? " DESC" : ""));
  return {"CREATE " + std::string(s.unique ? "UNIQUE " : "") + "INDEX " +
          qualifiedName(s.schema, s.index) + " ON " + quoteName(s.table->name) + " (" + list + ")"};
}

SqlSteps writeDropTable(const BoundDropTable& s) {
  KORVANE_ASSERT(s.table != nullptr);
  SqlSteps steps = {"DROP TABLE " + qualifiedName(s.schema, s.table->name)};
  if (!s.dropProperties.empty()) steps.push_back(s.dropProperties);
  return steps;
}

}  // namespace korvane::db
