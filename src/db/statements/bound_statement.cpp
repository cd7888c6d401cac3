// What a bound expression says of itself (see bound_statement.h).
#include "db/statements/bound_statement.h"

namespace korvane::db {

bool isCondition(const BoundExpr& e) {
  switch (e.kind) {
    case ExprKind::kNot:
    case ExprKind::kIsNull:
    case ExprKind::kLike:
    case ExprKind::kIn:
    case ExprKind::kBetween:
      return true;
    case ExprKind::kBinary:
      return isComparison(e.op) || isLogical(e.op);
    default:
      return false;
  }
}

std::optional<SqlValue> literalValue(const BoundExpr& e) {
  if (isLiteralKind(e.kind)) return e.value;
  if (e.kind != ExprKind::kNegate || e.args[0]->kind != ExprKind::kNumber) return std::nullopt;
  if (const auto* whole = std::get_if<std::int64_t>(&e.args[0]->value)) return -*whole;
  return -std::get<double>(e.args[0]->value);
}

}  // namespace korvane::db
