// The syntax tree of a Jet SQL statement, as the parser builds it: what the
// text says, names as written and literals as spelled. What the names mean
// is the binder's (binder.h), which makes a bound statement of it
// (bound_statement.h); the SQLite writers take only that.
#pragma once

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "sqlite/jet_types.h"

namespace korvane::db {

// The operator of a binary expression.
enum class BinaryOp {
  kOr,
  kAnd,
  kEqual,
  kNotEqual,
  kLess,
  kGreater,
  kLessOrEqual,
  kGreaterOrEqual,
  kConcat,    // &
  kAdd,       // + (also joins two texts)
  kSubtract,  // -
  kMultiply,  // *
  kDivide,    // /
};

// = <> < > <= >=
inline constexpr std::array<BinaryOp, 6> kComparisons = {
    BinaryOp::kEqual,   BinaryOp::kNotEqual,    BinaryOp::kLess,
    BinaryOp::kGreater, BinaryOp::kLessOrEqual, BinaryOp::kGreaterOrEqual};

constexpr bool isComparison(BinaryOp op) {
  return std::find(kComparisons.begin(), kComparisons.end(), op) != kComparisons.end();
}

// And, Or: truth values joined.
constexpr bool isLogical(BinaryOp op) {
  return op == BinaryOp::kAnd || op == BinaryOp::kOr;
}

// The operator as Jet SQL writes it ("<>", "&", "AND").
constexpr std::string_view symbolOf(BinaryOp op) {
  switch (op) {
    case BinaryOp::kOr:
      return "OR";
    case BinaryOp::kAnd:
      return "AND";
    case BinaryOp::kEqual:
      return "=";
    case BinaryOp::kNotEqual:
      return "<>";
    case BinaryOp::kLess:
      return "<";
    case BinaryOp::kGreater:
      return ">";
    case BinaryOp::kLessOrEqual:
      return "<=";
    case BinaryOp::kGreaterOrEqual:
      return ">=";
    case BinaryOp::kConcat:
      return "&";
    case BinaryOp::kAdd:
      return "+";
    case BinaryOp::kSubtract:
      return "-";
    case BinaryOp::kMultiply:
      return "*";
    case BinaryOp::kDivide:
      return "/";
  }
  return "";
}

enum class ExprKind {
  kNumber,  // value: the digits as written (a #date# becomes its Jet double)
  kText,    // value: the text without quotes
  kNull,
  kTrue,
  kFalse,
  kColumn,   // qualifier (may be empty) . name
  kNegate,   // - args[0]
  kBinary,   // args[0] op args[1]
  kNot,      // Not args[0]
  kIsNull,   // args[0] Is [Not] Null
  kLike,     // args[0] [Not] Like args[1]
  kIn,       // args[0] [Not] In (args[1..])
  kBetween,  // args[0] [Not] Between args[1] And args[2]
};

// Number, text, Null, True, False.
constexpr bool isLiteralKind(ExprKind kind) {
  return kind == ExprKind::kNumber || kind == ExprKind::kText || kind == ExprKind::kNull ||
         kind == ExprKind::kTrue || kind == ExprKind::kFalse;
}

struct Expr {
  ExprKind kind = ExprKind::kNull;
  std::string value;             // literal value
  BinaryOp op = BinaryOp::kAnd;  // kBinary
  std::string qualifier;         // kColumn: the table or alias written before '.'
  std::string name;              // kColumn: the field name
  bool negated = false;          // Is Not Null, Not Like, Not In, Not Between
  bool isDate = false;           // kNumber written as #date#
  std::vector<std::unique_ptr<Expr>> args;
  size_t offset = 0;  // where it starts in the statement
};
using ExprPtr = std::unique_ptr<Expr>;

enum class JoinKind { kInner, kLeft, kRight };

// A FROM source: a table, or two sources joined.
struct Source {
  bool isJoin = false;
  // A table:
  std::string table;
  std::string alias;  // empty: exposed under its own name
  size_t offset = 0;
  // A join:
  JoinKind join = JoinKind::kInner;
  std::unique_ptr<Source> left, right;
  ExprPtr on;

  const std::string& exposedName() const { return alias.empty() ? table : alias; }
};

// One entry of a select list or of DELETE's field list.
struct SelectItem {
  enum class Kind { kAll, kTableAll, kExpr } kind = Kind::kExpr;
  std::string qualifier;  // kTableAll: the table before ".*"
  ExprPtr expr;           // kExpr
  std::string alias;      // AS alias
  size_t offset = 0;
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
};

enum class Quantifier { kAll, kDistinct, kDistinctRow };

struct SelectStmt {
  Quantifier quantifier = Quantifier::kAll;
  std::vector<SelectItem> items;
  std::unique_ptr<Source> from;
  ExprPtr where;
  std::vector<OrderItem> orderBy;
};

struct InsertStmt {
  std::string table;
  std::vector<std::string> columns;    // empty: no field list
  std::optional<std::string> inFile;   // IN 'file'
  std::unique_ptr<SelectStmt> select;  // INSERT ... SELECT
  std::vector<ExprPtr> values;         // INSERT ... VALUES
};

struct DeleteStmt {
  bool distinctRow = false;
  std::vector<SelectItem> items;  // t.* and the fields named as criteria
  std::unique_ptr<Source> from;
  ExprPtr where;
};

struct Assignment {
  std::string qualifier;
  std::string column;
  ExprPtr value;
  size_t offset = 0;
};

struct UpdateStmt {
  bool distinctRow = false;
  std::unique_ptr<Source> source;
  std::vector<Assignment> assignments;
  ExprPtr where;
};

struct ColumnDef {
  std::string name;
  JetType type = JetType::kText;
  int size = 0;
  int scale = 0;
  bool notNull = false;
  bool primaryKey = false;
  bool unique = false;
  ExprPtr defaultValue;  // a literal
};

struct KeyConstraint {
  bool primaryKey = false;  // else UNIQUE
  std::vector<std::string> columns;
};

struct CreateTableStmt {
  std::string table;
  std::vector<ColumnDef> columns;
  std::vector<KeyConstraint> keys;
};

struct IndexColumn {
  std::string name;
  bool descending = false;
};

struct CreateIndexStmt {
  bool unique = false;
  bool primary = false;       // WITH PRIMARY
  bool disallowNull = false;  // WITH DISALLOW NULL
  std::string index;
  std::string table;
  std::vector<IndexColumn> columns;
};

struct DropTableStmt {
  std::string table;
};

using Statement = std::variant<SelectStmt, InsertStmt, DeleteStmt, UpdateStmt, CreateTableStmt,
                               CreateIndexStmt, DropTableStmt>;

}  // namespace korvane::db
