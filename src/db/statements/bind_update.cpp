// UPDATE bound: the table whose fields are set, and each field with its new
// value (binder.h says what fails).
#include "db/statements/binder.h"
#include "db/statements/resolver.h"
#include "invariant/invariant.h"

namespace korvane::db {

namespace {

bool onlyFrom(const BoundExpr& e, const std::string& source) {
  if (e.kind == ExprKind::kColumn && e.column.source != source) return false;
  for (const auto& arg : e.args)
    if (!onlyFrom(*arg, source)) return false;
  return true;
}

}  // namespace

BoundUpdate bindUpdate(const UpdateStmt& s, Catalog& catalog) {
  Resolver r(catalog);
  BoundUpdate bound;
  bound.schema = catalog.schema();
  bound.source = r.bindSource(*s.source);
  std::vector<BoundExprPtr> fields, values;
  for (const auto& a : s.assignments) {
    fields.push_back(r.bindColumn(a.qualifier, a.column));
    values.push_back(r.bindExpr(*a.value));
  }
  if (s.where) bound.where = r.bindExpr(*s.where);
  r.finish();

  // Every name resolved, so the first field set names a table in scope.
  const BoundTable* target = r.findEntry(fields.front()->column.source);
  KORVANE_ASSERT(target != nullptr);
  if (target->table->isView) raiseJet(jeterr::kNotUpdatable);
  for (size_t i = 0; i < fields.size(); ++i) {
    const ColumnRef& field = fields[i]->column;
    if (field.source != target->exposedName ||
        (bound.source.isJoin() && !onlyFrom(*values[i], target->exposedName)))
      raiseJet(jeterr::kNotUpdatable);
    const ColumnInfo* column = target->table->findColumn(field.column);
    if (column->generated) raiseJet(jeterr::kFieldNotUpdatable);
    bound.assignments.push_back({column, std::move(values[i])});
  }
  bound.target = *target;
  return bound;
}

}  // namespace korvane::db
