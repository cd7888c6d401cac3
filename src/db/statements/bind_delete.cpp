// DELETE bound: which table loses its rows (binder.h says how, and what
// fails). The other fields it lists are only criteria: their names must
// resolve, and nothing more is made of them.
#include "db/statements/binder.h"
#include "db/statements/resolver.h"

namespace korvane::db {

namespace {

// The table whose rows the statement removes.
const BoundTable& deletedTable(const DeleteStmt& s, const Resolver& r) {
  const BoundTable* chosen = nullptr;
  for (const auto& item : s.items) {
    const BoundTable* entry = nullptr;
    if (item.kind == SelectItem::Kind::kTableAll) {
      entry = r.findEntry(item.qualifier);
      if (!entry) raiseJet(jeterr::kInputTableNotFound, item.qualifier);
    } else if (item.kind == SelectItem::Kind::kAll && r.scope().size() == 1) {
      entry = &r.scope().front();
    }
    if (!entry) continue;
    if (chosen && chosen != entry) raiseJet(jeterr::kCannotDeleteFromTables);
    chosen = entry;
  }
  if (chosen) return *chosen;
  if (r.scope().size() == 1) return r.scope().front();
  raiseJet(jeterr::kDeleteNeedsTable);
}

}  // namespace

BoundDelete bindDelete(const DeleteStmt& s, Catalog& catalog) {
  Resolver r(catalog);
  BoundDelete bound;
  bound.schema = catalog.schema();
  bound.from = r.bindSource(*s.from);
  for (const auto& item : s.items)
    if (item.kind == SelectItem::Kind::kExpr) r.bindExpr(*item.expr);
  if (s.where) bound.where = r.bindExpr(*s.where);
  r.finish();
  bound.target = deletedTable(s, r);
  if (bound.target.table->isView) raiseJet(jeterr::kCannotDeleteFromTables);
  return bound;
}

}  // namespace korvane::db
