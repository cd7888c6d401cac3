// DELETE with Jet's meaning: over a join only the rows of the table written
// as t.* go; the other fields it lists are only criteria. Several tables and
// no t.* fail with 3128.
//
// The delete of rows without a partner (an outer join tested for a missing
// partner, as Delete orphans does) is written as the anti-join
// NOT EXISTS, which stops at the first partner a row has, instead of
// joining every partner and keeping the row ids of the unmatched.
#include <optional>
#include <string_view>

#include "db/connection.h"
#include "db/jet_errors.h"
#include "db/resolver.h"
#include "db/sql_expr.h"
#include "db/sql_writer.h"

namespace korvane::db {

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

bool isComparison(const Expr& e) {
  static constexpr std::string_view kComparisons[] = {"=", "<>", "<", ">", "<=", ">="};
  if (e.kind != ExprKind::kBinary) return false;
  for (auto op : kComparisons)
    if (e.value == op) return true;
  return false;
}

bool isColumnOf(const Expr& e, const ScopeEntry& entry, const std::string& column,
                const Resolver& r) {
  return e.kind == ExprKind::kColumn && r.findEntry(e.boundSource) == &entry &&
         e.boundColumn == column;
}

// True when `on` can hold only where `column` of `entry` is not Null: one of
// its top-level And terms compares that column directly, and a comparison
// with Null is never true.
bool onNeedsColumn(const Expr& on, const ScopeEntry& entry, const std::string& column,
                   const Resolver& r) {
  if (on.kind == ExprKind::kBinary && on.value == "AND")
    return onNeedsColumn(*on.args[0], entry, column, r) ||
           onNeedsColumn(*on.args[1], entry, column, r);
  return isComparison(on) &&
         (isColumnOf(*on.args[0], entry, column, r) || isColumnOf(*on.args[1], entry, column, r));
}

// `DELETE t.* FROM t LEFT JOIN o ON <on> WHERE o.c Is Null` (or o RIGHT JOIN
// t), where <on> needs o.c not Null: a row of t is deleted exactly when no
// row of o meets <on>, since a partner always has o.c set. That is
// `DELETE FROM t WHERE NOT EXISTS (SELECT 1 FROM o WHERE <on>)`, the same
// rows, compared the same way (the same <on> text). Any other shape: none.
std::optional<std::string> antiJoinDelete(const DeleteStmt& s, const Resolver& r,
                                          const ScopeEntry& target, const std::string& schema) {
  const Source& from = *s.from;
  if (!from.isJoin || from.join == JoinKind::kInner || from.left->isJoin || from.right->isJoin)
    return std::nullopt;
  const Source& kept = from.join == JoinKind::kLeft ? *from.left : *from.right;
  const Source& other = from.join == JoinKind::kLeft ? *from.right : *from.left;
  const ScopeEntry* otherEntry = r.findEntry(other.exposedName());
  if (r.findEntry(kept.exposedName()) != &target || !otherEntry ||
      otherEntry->table == target.table)
    return std::nullopt;
  const Expr* where = s.where.get();
  if (!where || where->kind != ExprKind::kIsNull || where->negated ||
      where->args[0]->kind != ExprKind::kColumn ||
      r.findEntry(where->args[0]->boundSource) != otherEntry ||
      !onNeedsColumn(*from.on, *otherEntry, where->args[0]->boundColumn, r))
    return std::nullopt;
  return "DELETE FROM " + quoteName(schema) + "." + quoteName(target.table->name) + " AS " +
         quoteName(target.exposedName) + " WHERE NOT EXISTS (SELECT 1 FROM " +
         sqlOfSource(other, schema) + " WHERE " + sqlOfExpr(*from.on) + ")";
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
  const std::string table = quoteName(catalog.schema()) + "." + quoteName(target.table->name);
  const std::string where = s.where ? " WHERE " + sqlOfExpr(*s.where) : "";
  if (!s.from->isJoin)
    return {"DELETE FROM " + table + " AS " + quoteName(target.exposedName) + where};
  if (auto antiJoin = antiJoinDelete(s, r, target, catalog.schema())) return {*antiJoin};
  return {"DELETE FROM " + table + " WHERE rowid IN (SELECT " + quoteName(target.exposedName) +
          ".rowid FROM " + sqlOfSource(*s.from, catalog.schema()) + where + ")"};
}

}  // namespace korvane::db
