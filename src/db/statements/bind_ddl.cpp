// CREATE TABLE, CREATE INDEX and DROP TABLE bound (binder.h says what
// fails). A primary key's fields are required; a unique key's may be Null.
#include <algorithm>

#include "db/statements/binder.h"
#include "db/statements/resolver.h"
#include "db/values/jet_collation.h"
#include "invariant/invariant.h"

namespace korvane::db {

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& n) { return sameName(n, name); });
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

// A DEFAULT's literal (the parser takes nothing else) as its value.
SqlValue defaultValueOf(const Expr& e, Catalog& catalog) {
  const std::optional<SqlValue> value = literalValue(*Resolver(catalog).bindExpr(e));
  KORVANE_ASSERT(value.has_value());
  return *value;
}

}  // namespace

BoundCreateTable bindCreateTable(const CreateTableStmt& s, Catalog& catalog) {
  if (catalog.findTable(s.table) || sameName(s.table, kPropertyTable))
    raiseJet(jeterr::kTableExists, s.table);
  std::vector<std::string> names;
  for (const auto& c : s.columns) {
    if (contains(names, c.name)) raiseJet(jeterr::kFieldDefinedTwice);
    names.push_back(c.name);
  }
  BoundCreateTable bound;
  bound.schema = catalog.schema();
  bound.table = s.table;
  bound.keys = keysOf(s);
  std::vector<std::string> keyColumns, primaryColumns;
  for (const auto& k : bound.keys)
    for (const auto& name : k.columns) {
      if (!contains(names, name)) raiseJet(jeterr::kCannotFindTableOrConstraint);
      keyColumns.push_back(name);
      if (k.primaryKey) primaryColumns.push_back(name);
    }
  for (const auto& c : s.columns) {
    BoundColumnDef& d = bound.columns.emplace_back();
    d.name = c.name;
    d.type = c.type;
    d.size = c.size;
    d.scale = c.scale;
    d.required = c.notNull || contains(primaryColumns, c.name);
    d.inKey = contains(keyColumns, c.name);
    if (c.defaultValue) d.defaultValue = defaultValueOf(*c.defaultValue, catalog);
  }
  return bound;
}

BoundCreateIndex bindCreateIndex(const CreateIndexStmt& s, Catalog& catalog) {
  BoundCreateIndex bound;
  bound.schema = catalog.schema();
  bound.index = s.index;
  bound.table = catalog.findTable(s.table);
  if (!bound.table) raiseJet(jeterr::kCannotFindTableOrConstraint);
  if (catalog.hasIndex(s.index)) raiseJet(jeterr::kIndexExists);
  bound.unique = s.unique || s.primary;
  for (const auto& ic : s.columns) {
    const ColumnInfo* c = bound.table->findColumn(ic.name);
    if (!c) raiseJet(jeterr::kCannotFindTableOrConstraint);
    bound.columns.push_back({c, ic.descending});
  }
  return bound;
}

BoundDropTable bindDropTable(const std::string& table, Catalog& catalog,
                             const JetError& missingError) {
  BoundDropTable bound;
  bound.schema = catalog.schema();
  bound.table = catalog.findTable(table);
  if (!bound.table) raiseJet(missingError, table);
  bound.dropProperties = catalog.dropFieldPropertiesSql(bound.table->name);
  return bound;
}

}  // namespace korvane::db
