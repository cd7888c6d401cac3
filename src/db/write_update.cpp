// UPDATE [DISTINCTROW] with Jet's meaning: each row of the updated table at
// most once, rows whose new values break a rule left as they were, a row
// whose key field would become Null too, whatever the file declares. Over a
// join, the fields set must belong to one table and take values from it
// (or constants); the join only chooses the rows: by their partners, as a
// condition on the table itself where it can (partner_rows.h), otherwise by
// the row ids the join yields.
#include "db/partner_rows.h"
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

bool onlyFrom(const Expr& e, const std::string& source) {
  if (e.kind == ExprKind::kColumn && e.boundSource != source) return false;
  for (const auto& arg : e.args)
    if (!onlyFrom(*arg, source)) return false;
  return true;
}

}  // namespace

SqlSteps writeUpdate(UpdateStmt& s, Catalog& catalog) {
  Resolver r(catalog);
  r.bindSource(*s.source);
  for (auto& a : s.assignments) r.bindAssignment(a);
  if (s.where) r.bindExpr(*s.where);
  r.finish();

  const ScopeEntry* target = r.findEntry(s.assignments.front().boundSource);
  if (target->table->isView) raiseJet(jeterr::kNotUpdatable);
  std::string sets, keysPresent;
  for (const auto& a : s.assignments) {
    if (a.boundSource != target->exposedName ||
        (s.source->isJoin && !onlyFrom(*a.value, target->exposedName)))
      raiseJet(jeterr::kNotUpdatable);
    const ColumnInfo& column = *target->table->findColumn(a.boundColumn);
    if (column.generated) raiseJet(jeterr::kFieldNotUpdatable);
    const std::string value = sqlValueFor(*a.value, column.fieldType());
    appendToList(sets, quoteName(a.boundColumn) + " = " + value);
    if (column.keyMayBeNull()) keysPresent += " AND " + value + " IS NOT NULL";
  }
  const std::string table = qualifiedName(catalog.schema(), target->table->name) + " AS " +
                            quoteName(target->exposedName);
  const std::string update = "UPDATE OR IGNORE " + table + " SET " + sets;
  const std::string where = s.where ? " WHERE " + sqlOfExpr(*s.where) : "";
  if (!s.source->isJoin) {
    if (keysPresent.empty()) return {update + where};
    return {update + " WHERE " + (s.where ? "(" + sqlOfExpr(*s.where) + ")" : "1") + keysPresent};
  }
  if (auto chosen = partnerCondition(*s.source, s.where.get(), r, *target, catalog.schema()))
    return {update + " WHERE " + (keysPresent.empty() ? *chosen : "(" + *chosen + ")") +
            keysPresent};
  return {update + " WHERE rowid IN (SELECT " + quoteName(target->exposedName) + ".rowid FROM " +
          sqlOfSource(*s.source, catalog.schema()) + where + ")" + keysPresent};
}

}  // namespace korvane::db
