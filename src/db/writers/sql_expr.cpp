// Writes bound expressions and FROM sources as SQLite text.
#include "db/writers/sql_expr.h"

#include "db/values/jet_collation.h"
#include "db/values/jet_convert.h"
#include "db/values/sql_literal.h"
#include "invariant/invariant.h"
#include "sqlite/sql_text.h"

namespace korvane::db {

using sqlite::appendToList;
using sqlite::qualifiedName;
using sqlite::quoteName;

namespace {

const std::string kCollate = " COLLATE " + std::string(kJetCollation);

bool anyText(const BoundExpr& e) {
  for (const auto& arg : e.args)
    if (isTextType(arg->type)) return true;
  return false;
}

std::string column(const ColumnRef& c) {
  KORVANE_ASSERT(!c.source.empty() && !c.column.empty());
  return qualifiedName(c.source, c.column);
}

std::string binary(const BoundExpr& e) {
  const std::string left = sqlOfExpr(*e.args[0], true);
  const std::string right = sqlOfExpr(*e.args[1], true);
  const std::string op(symbolOf(e.op));
  if (isLogical(e.op))
    return "(" + sqlOfExpr(*e.args[0]) + " " + op + " " + sqlOfExpr(*e.args[1]) + ")";
  if (e.op == BinaryOp::kConcat) return "jet_concat(" + left + ", " + right + ")";
  if (e.op == BinaryOp::kDivide) return "(CAST(" + left + " AS REAL) / " + right + ")";
  if (e.op == BinaryOp::kAdd && e.type == JetType::kMemo) return "(" + left + " || " + right + ")";
  if (!isComparison(e.op)) return "(" + left + " " + op + " " + right + ")";
  // A comparison: text as Jet compares it.
  return "(" + left + (anyText(e) ? kCollate : "") + " " +
         (e.op == BinaryOp::kNotEqual ? "!=" : op) + " " + right + ")";
}

std::string condition(const BoundExpr& e) {
  switch (e.kind) {
    case ExprKind::kNot:
      return "(NOT " + sqlOfExpr(*e.args[0]) + ")";
    case ExprKind::kIsNull:
      return "(" + sqlOfExpr(*e.args[0], true) + (e.negated ? " IS NOT NULL)" : " IS NULL)");
    case ExprKind::kLike:
      return std::string(e.negated ? "(NOT " : "(") + "jet_like(" + sqlOfExpr(*e.args[0], true) +
             ", " + sqlOfExpr(*e.args[1], true) + "))";
    case ExprKind::kIn: {
      std::string list;
      for (size_t i = 1; i < e.args.size(); ++i) appendToList(list, sqlOfExpr(*e.args[i], true));
      return "(" + sqlOfExpr(*e.args[0], true) + (anyText(e) ? kCollate : "") +
             (e.negated ? " NOT IN (" : " IN (") + list + "))";
    }
    case ExprKind::kBetween:
      return "(" + sqlOfExpr(*e.args[0], true) + (anyText(e) ? kCollate : "") +
             (e.negated ? " NOT BETWEEN " : " BETWEEN ") + sqlOfExpr(*e.args[1], true) + " AND " +
             sqlOfExpr(*e.args[2], true) + ")";
    default:
      return binary(e);
  }
}

const char* joinWord(JoinKind kind) {
  return kind == JoinKind::kInner ? " INNER JOIN " : " LEFT JOIN ";
}

std::string sourcePart(const BoundSource& source, const std::string& schema) {
  if (!source.isJoin()) return sqlOfSource(source, schema);
  return "(" + sqlOfSource(source, schema) + ")";
}

}  // namespace

std::string sqlOfExpr(const BoundExpr& e, bool asValue) {
  switch (e.kind) {
    case ExprKind::kNumber:
    case ExprKind::kText:
    case ExprKind::kNull:
    case ExprKind::kTrue:
    case ExprKind::kFalse:
      return sqlLiteral(e.value);
    case ExprKind::kColumn:
      return column(e.column);
    case ExprKind::kNegate:
      return "(- " + sqlOfExpr(*e.args[0], true) + ")";
    default:
      break;
  }
  if (e.kind == ExprKind::kBinary && !isCondition(e)) return binary(e);
  return asValue ? "(- " + condition(e) + ")" : condition(e);
}

std::string sqlOfSource(const BoundSource& source, const std::string& schema) {
  if (!source.isJoin()) {
    KORVANE_ASSERT(source.table.table != nullptr);
    return qualifiedName(schema, source.table.table->name) + " AS " +
           quoteName(source.table.exposedName);
  }
  // a RIGHT JOIN b  ==  b LEFT JOIN a
  const bool right = source.join == JoinKind::kRight;
  const BoundSource& first = right ? *source.right : *source.left;
  const BoundSource& second = right ? *source.left : *source.right;
  std::string firstSql =
      first.isJoin() && right ? sourcePart(first, schema) : sqlOfSource(first, schema);
  return firstSql + joinWord(source.join) + sourcePart(second, schema) + " ON " +
         sqlOfExpr(*source.on);
}

std::string sqlOfOrderItem(const BoundOrderItem& item) {
  std::string sql = sqlOfExpr(*item.expr, true);
  const JetType type = item.expr->type;
  if (isTextType(type)) {
    sql += kCollate;
  } else if (item.expr->kind == ExprKind::kColumn) {
    // A field orders by its values as Jet holds them: text dates in a
    // Date/Time field of another tool's file as the dates they spell.
    sql = conversionSql(sql, type);
  }
  return sql + (item.descending ? " DESC" : "");
}

std::string sqlValueFor(const BoundExpr& e, const FieldType& to) {
  if (auto literal = literalValue(e)) return sqlFieldLiteral(convertForField(*literal, to, e.type));
  return conversionSql(sqlOfExpr(e, true), to, e.type);
}

std::string sqlKeysPresent(const std::vector<BoundValue>& stored,
                           const std::vector<std::string>& values) {
  KORVANE_ASSERT(stored.size() == values.size());
  std::string condition;
  for (size_t i = 0; i < stored.size(); ++i)
    if (stored[i].field->keyMayBeNull())
      condition += (condition.empty() ? "" : " AND ") + values[i] + " IS NOT NULL";
  return condition;
}

}  // namespace korvane::db
