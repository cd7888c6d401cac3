// Writes resolved expressions and FROM sources as SQLite text.
#include "db/sql_expr.h"

#include <charconv>

#include "db/jet_collation.h"
#include "db/jet_convert.h"
#include "db/resolver.h"
#include "sqlite/sql_text.h"

namespace korvane::db {

using sqlite::appendToList;
using sqlite::qualifiedName;
using sqlite::quoteName;
using sqlite::quoteText;

namespace {

const std::string kCollate = " COLLATE " + std::string(kJetCollation);

bool anyText(const Expr& e) {
  for (const auto& arg : e.args)
    if (isTextType(typeOf(*arg))) return true;
  return false;
}

std::string column(const Expr& e) {
  return qualifiedName(e.boundSource, e.boundColumn);
}

std::string binary(const Expr& e) {
  const std::string left = sqlOfExpr(*e.args[0], true);
  const std::string right = sqlOfExpr(*e.args[1], true);
  const std::string op(symbolOf(e.op));
  if (isLogical(e.op))
    return "(" + sqlOfExpr(*e.args[0]) + " " + op + " " + sqlOfExpr(*e.args[1]) + ")";
  if (e.op == BinaryOp::kConcat) return "jet_concat(" + left + ", " + right + ")";
  if (e.op == BinaryOp::kDivide) return "(CAST(" + left + " AS REAL) / " + right + ")";
  if (e.op == BinaryOp::kAdd && typeOf(e) == JetType::kMemo)
    return "(" + left + " || " + right + ")";
  if (!isComparison(e.op)) return "(" + left + " " + op + " " + right + ")";
  // A comparison: text as Jet compares it.
  return "(" + left + (anyText(e) ? kCollate : "") + " " +
         (e.op == BinaryOp::kNotEqual ? "!=" : op) + " " + right + ")";
}

std::string condition(const Expr& e) {
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

// Reads a literal (a number, perhaps negated, a text, True, False, Null)
// into `value`; false for any other expression.
bool literalValue(const Expr& e, SqlValue& value) {
  switch (e.kind) {
    case ExprKind::kNull:
      value = SqlValue{};
      return true;
    case ExprKind::kText:
      value = e.value;
      return true;
    case ExprKind::kBool:
      value = std::int64_t{e.value == "0" ? 0 : -1};
      return true;
    case ExprKind::kNumber: {
      const char* end = e.value.data() + e.value.size();
      std::int64_t whole = 0;
      if (auto [ptr, ec] = std::from_chars(e.value.data(), end, whole);
          ec == std::errc() && ptr == end) {
        value = whole;
        return true;
      }
      double real = 0;
      auto [ptr, ec] = std::from_chars(e.value.data(), end, real);
      if (ec != std::errc() || ptr != end) return false;
      value = real;
      return true;
    }
    case ExprKind::kNegate:
      if (e.args[0]->kind != ExprKind::kNumber || !literalValue(*e.args[0], value)) return false;
      if (auto* whole = std::get_if<std::int64_t>(&value))
        value = -*whole;
      else
        value = -std::get<double>(value);
      return true;
    default:
      return false;
  }
}

std::string sqlLiteral(const SqlValue& value) {
  if (auto* whole = std::get_if<std::int64_t>(&value)) return std::to_string(*whole);
  if (auto* real = std::get_if<double>(&value)) return sqlNumber(*real);
  if (auto* text = std::get_if<std::string>(&value)) return quoteText(*text);
  if (auto* blob = std::get_if<Blob>(&value)) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string sql = "X'";
    for (unsigned char c : blob->bytes) {
      sql += kHex[c >> 4];
      sql += kHex[c & 15];
    }
    return sql + "'";
  }
  return "NULL";
}

std::string sourcePart(const Source& source, const std::string& schema) {
  if (!source.isJoin) return sqlOfSource(source, schema);
  return "(" + sqlOfSource(source, schema) + ")";
}

}  // namespace

std::string sqlOfExpr(const Expr& e, bool asValue) {
  switch (e.kind) {
    case ExprKind::kNumber:
      return e.value;
    case ExprKind::kText:
      return quoteText(e.value);
    case ExprKind::kNull:
      return "NULL";
    case ExprKind::kBool:
      return e.value;
    case ExprKind::kColumn:
      return column(e);
    case ExprKind::kNegate:
      return "(- " + sqlOfExpr(*e.args[0], true) + ")";
    default:
      break;
  }
  if (e.kind == ExprKind::kBinary && !isCondition(e)) return binary(e);
  return asValue ? "(- " + condition(e) + ")" : condition(e);
}

std::string sqlOfSource(const Source& source, const std::string& schema) {
  if (!source.isJoin) {
    return qualifiedName(schema, source.boundTable) + " AS " + quoteName(source.exposedName());
  }
  // a RIGHT JOIN b  ==  b LEFT JOIN a
  const bool right = source.join == JoinKind::kRight;
  const Source& first = right ? *source.right : *source.left;
  const Source& second = right ? *source.left : *source.right;
  std::string firstSql =
      first.isJoin && right ? sourcePart(first, schema) : sqlOfSource(first, schema);
  return firstSql + joinWord(source.join) + sourcePart(second, schema) + " ON " +
         sqlOfExpr(*source.on);
}

std::string sqlOfOrderItem(const OrderItem& item) {
  std::string sql = sqlOfExpr(*item.expr, true);
  const JetType type = typeOf(*item.expr);
  if (isTextType(type)) {
    sql += kCollate;
  } else if (item.expr->kind == ExprKind::kColumn) {
    // A field orders by its values as Jet holds them: text dates in a
    // Date/Time field of another tool's file as the dates they spell.
    sql = sqlConverted(sql, type);
  }
  return sql + (item.descending ? " DESC" : "");
}

std::string sqlConverted(const std::string& valueSql, const FieldType& to, JetType from) {
  return conversionSql(valueSql, to, from);
}

std::string sqlValueFor(const Expr& e, const FieldType& to) {
  if (SqlValue literal; literalValue(e, literal))
    return sqlLiteral(convertForField(literal, to, typeOf(e)));
  return sqlConverted(sqlOfExpr(e, true), to, typeOf(e));
}

}  // namespace korvane::db
