// DELETE with Jet's meaning: over a join only the rows of the table written
// as t.* go; the other fields it lists are only criteria. Several tables and
// no t.* fail with 3128.
//
// A delete of the rows with a partner in another table (the standard
// materials swap) or without one (Delete orphans) is written as a condition
// on the table itself (partner_rows.h), which stays O(n log n) without any
// index; any other join goes through the row ids the join yields.
#include "db/partner_rows.h"
#include "db/resolver.h"
#include "db/sql_expr.h"
#include "db/sql_writer.h"
#include "sqlite/jet_errors.h"
#include "sqlite/sql_text.h"

namespace korvane::db {

using sqlite::qualifiedName;
using sqlite::quoteName;

namespace {

// The scope entry whose rows the statement removes.
const ScopeEntry& deletedTable(const DeleteStmt& s, const Resolver& r) {
  const ScopeEntry* chosen = nullptr;
  for (const auto& item : s.items) {
    const ScopeEntry* entry = nullptr;
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

SqlSteps writeDelete(DeleteStmt& s, Catalog& catalog) {
  Resolver r(catalog);
  r.bindSource(*s.from);
  for (auto& item : s.items)
    if (item.kind == SelectItem::Kind::kExpr) r.bindExpr(*item.expr);
  if (s.where) r.bindExpr(*s.where);
  r.finish();
  const ScopeEntry& target = deletedTable(s, r);
  if (target.table->isView) raiseJet(jeterr::kCannotDeleteFromTables);
  const std::string table = qualifiedName(catalog.schema(), target.table->name);
  const std::string where = s.where ? " WHERE " + sqlOfExpr(*s.where) : "";
  if (!s.from->isJoin)
    return {"DELETE FROM " + table + " AS " + quoteName(target.exposedName) + where};
  if (auto chosen = partnerCondition(*s.from, s.where.get(), r, target, catalog.schema()))
    return {"DELETE FROM " + table + " AS " + quoteName(target.exposedName) + " WHERE " + *chosen};
  return {"DELETE FROM " + table + " WHERE rowid IN (SELECT " + quoteName(target.exposedName) +
          ".rowid FROM " + sqlOfSource(*s.from, catalog.schema()) + where + ")"};
}

}  // namespace korvane::db
