// INSERT INTO ... SELECT and INSERT INTO ... VALUES, with Jet's meaning:
// each value is stored into the field the binder paired it with, converted
// to that field's type. Rows are appended in ORDER BY order; an AutoNumber
// the statement leaves out is numbered in that order after the largest one
// there. Rows breaking a rule are skipped, a row whose key field would be
// Null too, whatever the file declares.
#include "db/writers/sql_expr.h"
#include "db/writers/sql_writer.h"
#include "invariant/invariant.h"
#include "sqlite/sql_text.h"

namespace korvane::db {

using sqlite::appendToList;
using sqlite::qualifiedName;
using sqlite::quoteName;

namespace {

bool stores(const BoundInsert& s, const ColumnInfo* field) {
  for (const auto& v : s.values)
    if (v.field == field) return true;
  return false;
}

std::string columnList(const BoundInsert& s) {
  std::string list;
  for (const auto& v : s.values) appendToList(list, quoteName(v.field->name));
  return list;
}

// The values the statement stores, each converted for its field.
std::vector<std::string> storedValues(const BoundInsert& s) {
  std::vector<std::string> values;
  for (const auto& v : s.values) values.push_back(sqlValueFor(*v.value, v.field->fieldType()));
  return values;
}

// The condition a row must meet to keep every key field from Null: "0"
// when a key field the statement leaves out would be Null in every row,
// "" when nothing needs checking.
std::string keysPresent(const BoundInsert& s, const std::vector<std::string>& values) {
  for (const ColumnInfo& field : s.table->columns)
    if (field.nullWhenOmitted() && !stores(s, &field)) return "0";
  return sqlKeysPresent(s.values, values);
}

std::string selectSql(const BoundSelect& s, const std::vector<std::string>& values,
                      const std::string& required) {
  std::string list;
  for (const auto& value : values) appendToList(list, value);
  std::string sql = s.quantifier == Quantifier::kDistinct ? "SELECT DISTINCT " : "SELECT ";
  sql += list + " FROM " + sqlOfSource(s.from, s.schema);
  if (s.where && !required.empty())
    sql += " WHERE (" + sqlOfExpr(*s.where) + ") AND " + required;
  else if (s.where)
    sql += " WHERE " + sqlOfExpr(*s.where);
  else if (!required.empty())
    sql += " WHERE " + required;
  // DISTINCTROW over a join: each row of the tables the fields come from once.
  // Over one table it keeps every row, duplicates included.
  if (s.quantifier == Quantifier::kDistinctRow && s.tableCount > 1) {
    std::string groups;
    for (const auto& name : s.fieldSources) appendToList(groups, quoteName(name) + ".rowid");
    if (!groups.empty()) sql += " GROUP BY " + groups;
  }
  if (!s.orderBy.empty()) {
    std::string order;
    for (const auto& item : s.orderBy) appendToList(order, sqlOfOrderItem(item));
    sql += " ORDER BY " + order;
  }
  return sql;
}

std::string nextCounterSql(const ColumnInfo& counter, const std::string& target) {
  return "(SELECT COALESCE(MAX(" + quoteName(counter.name) + "), 0) FROM " + target + ")";
}

SqlSteps insertSelect(const BoundInsert& s, const std::string& target) {
  std::vector<std::string> values = storedValues(s);
  const std::string required = keysPresent(s, values);
  const ColumnInfo* counter = s.table->counter();
  if (!counter || stores(s, counter))
    return {"INSERT OR IGNORE INTO " + target + " (" + columnList(s) + ") " +
            selectSql(*s.select, values, required)};
  // The rows go through a temporary table whose rowids follow ORDER BY, so
  // the AutoNumbers do too.
  std::string copied;
  for (size_t i = 0; i < values.size(); ++i) {
    values[i] += " AS c" + std::to_string(i);
    appendToList(copied, "c" + std::to_string(i));
  }
  appendToList(copied, nextCounterSql(*counter, target) + " + rowid");
  std::string numbered = columnList(s);
  appendToList(numbered, quoteName(counter->name));
  return {
      "CREATE TEMP TABLE korvane_append AS " + selectSql(*s.select, values, required),
      "INSERT OR IGNORE INTO " + target + " (" + numbered + ") SELECT " + copied +
          " FROM temp.korvane_append ORDER BY rowid",
      "DROP TABLE temp.korvane_append",
  };
}

SqlSteps insertValues(const BoundInsert& s, const std::string& target) {
  std::string columns = columnList(s);
  const std::vector<std::string> values = storedValues(s);
  const std::string required = keysPresent(s, values);
  std::string list;
  for (const auto& value : values) appendToList(list, value);
  const ColumnInfo* counter = s.table->counter();
  if (counter && !stores(s, counter)) {
    appendToList(columns, quoteName(counter->name));
    appendToList(list, nextCounterSql(*counter, target) + " + 1");
  }
  if (!required.empty())
    return {"INSERT OR IGNORE INTO " + target + " (" + columns + ") SELECT " + list + " WHERE " +
            required};
  return {"INSERT OR IGNORE INTO " + target + " (" + columns + ") VALUES (" + list + ")"};
}

}  // namespace

SqlSteps writeInsert(const BoundInsert& s) {
  KORVANE_ASSERT(s.table != nullptr);
  const std::string target = qualifiedName(s.schema, s.table->name);
  return s.select ? insertSelect(s, target) : insertValues(s, target);
}

}  // namespace korvane::db
