// INSERT INTO ... SELECT and INSERT INTO ... VALUES, with Jet's meaning:
// without a field list the selected fields pair with the target's by name
// (3127 for one the target lacks; the target's others take their defaults),
// with a list by position (3346 when the counts differ). Rows are appended
// in ORDER BY order; an AutoNumber the statement leaves out is numbered in
// that order after the largest one there. Rows breaking a rule are skipped,
// a row whose key field would be Null too, whatever the file declares.
#include <set>

#include "db/jet_collation.h"
#include "db/resolver.h"
#include "db/sql_expr.h"
#include "db/sql_writer.h"
#include "sqlite/jet_errors.h"
#include "sqlite/sql_text.h"

namespace korvane::db {

using sqlite::appendToList;
using sqlite::qualifiedName;
using sqlite::quoteName;

namespace {

// One field the SELECT yields.
struct OutputColumn {
  std::string name;                  // the name it pairs by: field name or alias
  std::string sql;                   // a field of a table (t.*): its column
  JetType type = JetType::kUnknown;  // and that field's type
  const Expr* expr = nullptr;        // a field of the select list
};

void collectSources(const Expr& e, std::set<std::string>& sources) {
  if (e.kind == ExprKind::kColumn) sources.insert(e.boundSource);
  for (const auto& arg : e.args) collectSources(*arg, sources);
}

void addTableColumns(const ScopeEntry& entry, std::vector<OutputColumn>& out) {
  for (const auto& c : entry.table->columns)
    out.push_back({c.name, qualifiedName(entry.exposedName, c.name), c.type});
}

// Binds every name of the SELECT, then lists the fields it yields.
std::vector<OutputColumn> resolveSelect(SelectStmt& s, Resolver& r,
                                        std::set<std::string>& usedSources) {
  r.bindSource(*s.from);
  for (auto& item : s.items)
    if (item.kind == SelectItem::Kind::kExpr) r.bindExpr(*item.expr);
  if (s.where) r.bindExpr(*s.where);
  for (auto& o : s.orderBy) r.bindExpr(*o.expr);
  r.finish();

  std::vector<OutputColumn> out;
  int exprNumber = 1000;
  for (auto& item : s.items) {
    if (item.kind == SelectItem::Kind::kAll) {
      for (const auto& entry : r.scope()) {
        addTableColumns(entry, out);
        usedSources.insert(entry.exposedName);
      }
    } else if (item.kind == SelectItem::Kind::kTableAll) {
      const ScopeEntry* entry = r.findEntry(item.qualifier);
      if (!entry) raiseJet(jeterr::kInputTableNotFound, item.qualifier);
      addTableColumns(*entry, out);
      usedSources.insert(entry->exposedName);
    } else {
      const Expr& e = *item.expr;
      std::string name = !item.alias.empty()           ? item.alias
                         : e.kind == ExprKind::kColumn ? e.boundColumn
                                                       : "Expr" + std::to_string(exprNumber++);
      out.push_back({name, "", JetType::kUnknown, &e});
      collectSources(e, usedSources);
    }
  }
  return out;
}

// The target fields the values go to, one per value. A generated field
// computes its own value: named in a field list it fails with 3164, paired
// by name its value is left out (nullptr).
std::vector<const ColumnInfo*> pairTargets(const InsertStmt& s, const TableInfo& target,
                                           const std::vector<std::string>& valueNames) {
  std::vector<const ColumnInfo*> targets;
  if (!s.columns.empty()) {
    if (s.columns.size() != valueNames.size()) raiseJet(jeterr::kValueCountMismatch);
    for (const auto& name : s.columns) {
      const ColumnInfo* c = target.findColumn(name);
      if (!c) raiseJet(jeterr::kUnknownInsertField, name);
      if (c->generated) raiseJet(jeterr::kFieldNotUpdatable);
      targets.push_back(c);
    }
  } else {
    for (const auto& name : valueNames) {
      const ColumnInfo* c = target.findColumn(name);
      if (!c) raiseJet(jeterr::kUnknownInsertField, name);
      targets.push_back(c->generated ? nullptr : c);
    }
  }
  for (size_t i = 0; i < targets.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (targets[i] && targets[i] == targets[j]) raiseJet(jeterr::kFieldDefinedTwice);
  return targets;
}

// Drops the values whose target is a generated field.
template <typename Value>
void dropUnwritten(std::vector<const ColumnInfo*>& targets, std::vector<Value>& values) {
  size_t kept = 0;
  for (size_t i = 0; i < targets.size(); ++i) {
    if (!targets[i]) continue;
    if (kept != i) {
      targets[kept] = targets[i];
      values[kept] = std::move(values[i]);
    }
    ++kept;
  }
  targets.resize(kept);
  values.resize(kept);
}

bool names(const std::vector<const ColumnInfo*>& targets, const ColumnInfo* column) {
  for (const auto* t : targets)
    if (t == column) return true;
  return false;
}

std::string columnList(const std::vector<const ColumnInfo*>& targets) {
  std::string list;
  for (const auto* t : targets) appendToList(list, quoteName(t->name));
  return list;
}

// The condition that the values for key fields the file lets hold Null are
// not Null, or "" when there are none.
std::string keysPresent(const std::vector<const ColumnInfo*>& targets,
                        const std::vector<std::string>& values) {
  std::string condition;
  for (size_t i = 0; i < targets.size(); ++i)
    if (targets[i]->keyMayBeNull())
      condition += (condition.empty() ? "" : " AND ") + values[i] + " IS NOT NULL";
  return condition;
}

std::string selectSql(const SelectStmt& s, const std::vector<std::string>& values,
                      const Resolver& r, const std::set<std::string>& usedSources,
                      const std::string& schema, const std::string& required) {
  std::string list;
  for (const auto& value : values) appendToList(list, value);
  std::string sql = s.quantifier == Quantifier::kDistinct ? "SELECT DISTINCT " : "SELECT ";
  sql += list + " FROM " + sqlOfSource(*s.from, schema);
  if (s.where && !required.empty())
    sql += " WHERE (" + sqlOfExpr(*s.where) + ") AND " + required;
  else if (s.where)
    sql += " WHERE " + sqlOfExpr(*s.where);
  else if (!required.empty())
    sql += " WHERE " + required;
  // DISTINCTROW over a join: each row of the tables the fields come from once.
  // Over one table it keeps every row, duplicates included.
  if (s.quantifier == Quantifier::kDistinctRow && r.scope().size() > 1) {
    std::string groups;
    for (const auto& name : usedSources) appendToList(groups, quoteName(name) + ".rowid");
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

SqlSteps insertSelect(InsertStmt& s, Catalog& source, const TableInfo& table,
                      const std::string& target) {
  Resolver r(source);
  std::set<std::string> usedSources;
  std::vector<OutputColumn> out = resolveSelect(*s.select, r, usedSources);
  std::vector<std::string> names;
  for (const auto& o : out) names.push_back(o.name);
  std::vector<const ColumnInfo*> targets = pairTargets(s, table, names);
  dropUnwritten(targets, out);
  std::vector<std::string> values;
  for (size_t i = 0; i < out.size(); ++i)
    values.push_back(out[i].expr ? sqlValueFor(*out[i].expr, targets[i]->fieldType())
                                 : sqlConverted(out[i].sql, targets[i]->fieldType(), out[i].type));
  const std::string required = keysPresent(targets, values);

  const ColumnInfo* counter = table.counter();
  if (!counter || ::korvane::db::names(targets, counter)) {
    return {"INSERT OR IGNORE INTO " + target + " (" + columnList(targets) + ") " +
            selectSql(*s.select, values, r, usedSources, source.schema(), required)};
  }
  // The rows go through a temporary table whose rowids follow ORDER BY, so
  // the AutoNumbers do too.
  for (size_t i = 0; i < values.size(); ++i) values[i] += " AS c" + std::to_string(i);
  std::string copied;
  for (size_t i = 0; i < values.size(); ++i) appendToList(copied, "c" + std::to_string(i));
  auto numbered = targets;
  numbered.push_back(counter);
  appendToList(copied, nextCounterSql(*counter, target) + " + rowid");
  return {
      "CREATE TEMP TABLE korvane_append AS " +
          selectSql(*s.select, values, r, usedSources, source.schema(), required),
      "INSERT OR IGNORE INTO " + target + " (" + columnList(numbered) + ") SELECT " + copied +
          " FROM temp.korvane_append ORDER BY rowid",
      "DROP TABLE temp.korvane_append",
  };
}

SqlSteps insertValues(InsertStmt& s, Catalog& catalog, const TableInfo& table,
                      const std::string& target) {
  Resolver r(catalog);
  for (auto& v : s.values) r.bindExpr(*v);
  r.finish();
  std::vector<std::string> names;
  if (s.columns.empty()) {
    for (const auto& c : table.columns)
      if (!c.generated) names.push_back(c.name);
  } else {
    names = s.columns;
  }
  if (s.values.size() != names.size()) raiseJet(jeterr::kValueCountMismatch);
  InsertStmt byName;
  byName.columns = names;
  std::vector<const ColumnInfo*> targets = pairTargets(byName, table, names);
  std::vector<std::string> values;
  for (size_t i = 0; i < s.values.size(); ++i)
    values.push_back(sqlValueFor(*s.values[i], targets[i]->fieldType()));
  const std::string required = keysPresent(targets, values);
  const ColumnInfo* counter = table.counter();
  if (counter && !::korvane::db::names(targets, counter)) {
    targets.push_back(counter);
    values.push_back(nextCounterSql(*counter, target) + " + 1");
  }
  std::string list;
  for (const auto& value : values) appendToList(list, value);
  if (!required.empty())
    return {"INSERT OR IGNORE INTO " + target + " (" + columnList(targets) + ") SELECT " + list +
            " WHERE " + required};
  return {"INSERT OR IGNORE INTO " + target + " (" + columnList(targets) + ") VALUES (" + list +
          ")"};
}

}  // namespace

SqlSteps writeInsert(InsertStmt& s, Catalog& source, Catalog& target) {
  if (s.select) {
    // Jet looks for the input tables before the output table.
    Resolver probe(source);
    probe.bindSource(*s.select->from);
  }
  const TableInfo* table = target.findTable(s.table);
  if (!table) {
    // A view can be read from, never appended to.
    if (target.findSource(s.table)) raiseJet(jeterr::kNotUpdatable);
    raiseJet(jeterr::kOutputTableNotFound, s.table);
  }
  const std::string targetName = qualifiedName(target.schema(), table->name);
  return s.select ? insertSelect(s, source, *table, targetName)
                  : insertValues(s, source, *table, targetName);
}

}  // namespace korvane::db
