// Writes the choice of rows by their partners in another table as a
// non-correlated IN (see partner_rows.h).
#include "db/writers/partner_rows.h"

#include <vector>

#include "db/values/jet_collation.h"
#include "db/writers/sql_expr.h"

namespace korvane::db {

namespace {

// The terms of a condition, split on And, sorted by the tables they read.
struct Terms {
  std::vector<std::string> targetOnly;               // read only the target (or nothing)
  std::vector<std::string> otherOnly;                // read only the other table
  std::vector<std::string> targetSides, otherSides;  // of each equality, paired
  bool unsplittable = false;  // a term relates the two tables other than by `=`
};

// Which of the two tables `e` reads: 0 none, 1 the target, 2 the other, 3 both.
int reads(const BoundExpr& e, const std::string& target, const std::string& other) {
  int side = 0;
  if (e.kind == ExprKind::kColumn)
    side = e.column.source == target ? 1 : e.column.source == other ? 2 : 0;
  for (const auto& arg : e.args) side |= reads(*arg, target, other);
  return side;
}

bool isText(const BoundExpr& e) {
  return isTextType(e.type);
}

void split(const BoundExpr& e, const std::string& target, const std::string& other, Terms& terms) {
  if (e.kind == ExprKind::kBinary && e.op == BinaryOp::kAnd) {
    split(*e.args[0], target, other, terms);
    split(*e.args[1], target, other, terms);
    return;
  }
  const int side = reads(e, target, other);
  if (side == 0 || side == 1) return terms.targetOnly.push_back(sqlOfExpr(e));
  if (side == 2) return terms.otherOnly.push_back(sqlOfExpr(e));
  if (e.kind == ExprKind::kBinary && e.op == BinaryOp::kEqual) {
    const int left = reads(*e.args[0], target, other);
    const int right = reads(*e.args[1], target, other);
    if ((left == 1 && right == 2) || (left == 2 && right == 1)) {
      const BoundExpr& targetSide = left == 1 ? *e.args[0] : *e.args[1];
      const BoundExpr& otherSide = left == 1 ? *e.args[1] : *e.args[0];
      // Text as Jet compares it; the IN's keyed set takes the left side's
      // collation.
      const bool text = isText(targetSide) || isText(otherSide);
      terms.targetSides.push_back(sqlOfExpr(targetSide, true) +
                                  (text ? " COLLATE " + std::string(kJetCollation) : ""));
      terms.otherSides.push_back(sqlOfExpr(otherSide, true));
      return;
    }
  }
  terms.unsplittable = true;
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string out;
  for (const auto& p : parts) out += (out.empty() ? "" : separator) + p;
  return out;
}

bool isColumnOf(const BoundExpr& e, const std::string& source, const std::string& column) {
  return e.kind == ExprKind::kColumn && e.column.source == source && e.column.column == column;
}

// True when `on` holds only where `column` of `source` is not Null: one of
// its top-level And terms compares that column directly, and a comparison
// with Null is never true. Then a partner always has the column set, and
// the column Is Null exactly on the rows without one.
bool onNeedsColumn(const BoundExpr& on, const std::string& source, const std::string& column) {
  if (on.kind == ExprKind::kBinary && on.op == BinaryOp::kAnd)
    return onNeedsColumn(*on.args[0], source, column) || onNeedsColumn(*on.args[1], source, column);
  return on.kind == ExprKind::kBinary && isComparison(on.op) &&
         (isColumnOf(*on.args[0], source, column) || isColumnOf(*on.args[1], source, column));
}

// `where` is `o.c Is Null` for a column c of `other` that `on` needs.
bool testsMissingPartner(const BoundExpr* where, const BoundExpr& on, const std::string& other) {
  return where && where->kind == ExprKind::kIsNull && !where->negated &&
         where->args[0]->kind == ExprKind::kColumn && where->args[0]->column.source == other &&
         onNeedsColumn(on, other, where->args[0]->column.column);
}

}  // namespace

std::optional<std::string> partnerCondition(const BoundSource& from, const BoundExpr* where,
                                            const BoundTable& target, const std::string& schema) {
  if (!from.isJoin() || from.left->isJoin() || from.right->isJoin()) return std::nullopt;
  // Two tables under the same name: neither is the target alone.
  const bool targetLeft = sameName(from.left->table.exposedName, target.exposedName);
  const bool targetRight = sameName(from.right->table.exposedName, target.exposedName);
  if (targetLeft == targetRight) return std::nullopt;
  const BoundSource& otherSource = targetLeft ? *from.right : *from.left;
  const std::string& t = target.exposedName;
  const std::string& o = otherSource.table.exposedName;

  // An inner join keeps the rows with a partner; an outer join that keeps
  // every target row, tested for a missing partner, the rows without one.
  bool withPartner;
  if (from.join == JoinKind::kInner) {
    withPartner = true;
  } else if ((from.join == JoinKind::kLeft) == targetLeft &&
             testsMissingPartner(where, *from.on, o)) {
    withPartner = false;
  } else {
    return std::nullopt;
  }

  Terms terms;
  split(*from.on, t, o, terms);
  if (withPartner && where) split(*where, t, o, terms);
  if (terms.unsplittable || terms.targetSides.empty()) return std::nullopt;

  const bool single = terms.targetSides.size() == 1;
  const std::string keys =
      single ? terms.targetSides[0] : "(" + joined(terms.targetSides, ", ") + ")";
  std::string partners =
      "SELECT " + joined(terms.otherSides, ", ") + " FROM " + sqlOfSource(otherSource, schema);
  if (!terms.otherOnly.empty()) partners += " WHERE " + joined(terms.otherOnly, " AND ");
  std::vector<std::string> conditions = terms.targetOnly;
  conditions.push_back("(" + keys + " IN (" + partners + "))");
  const std::string chosen =
      conditions.size() == 1 ? conditions[0] : "(" + joined(conditions, " AND ") + ")";
  // No partner: the condition is false or, for a Null key, unknown.
  return withPartner ? chosen : "(" + chosen + " IS NOT TRUE)";
}

}  // namespace korvane::db
