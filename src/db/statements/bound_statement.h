// Statements bound to the files they run on: what the SQLite writers take.
//
// The binder (binder.h) makes them from the syntax tree (ast.h), which says
// only what the text says. Here every table is the catalog's, every column
// reference carries its table's exposed name, its stored name and its Jet
// type, every literal is a typed value, and every check Jet makes before a
// statement runs (a missing table or field, a target that cannot be
// written, fields that do not pair up) has passed: a writer has nothing
// left to look up. A bound statement points into the catalogs it was bound
// against and is good until they are refreshed.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "db/statements/ast.h"
#include "db/statements/catalog.h"
#include "db/values/jet_convert.h"
#include "sqlite/jet_types.h"

namespace korvane::db {

// A field of a table of the FROM clause.
struct ColumnRef {
  std::string source;  // the table's exposed name there
  std::string column;  // the field's stored name
};

// An expression of the syntax tree (ast.h), bound: its kind is the one it was
// parsed as, a literal's value typed.
struct BoundExpr {
  ExprKind kind = ExprKind::kNull;
  // The Jet type it yields, as far as it is known before it runs: a field's
  // type, Double for a number, Date/Time for a #date#, Yes/No for a truth
  // value, Unknown for Null.
  JetType type = JetType::kUnknown;
  SqlValue value;    // a literal: True is -1, a #date# its Jet double
  ColumnRef column;  // kColumn
  BinaryOp op = BinaryOp::kAnd;
  bool negated = false;  // Is Not Null, Not Like, Not In, Not Between
  std::vector<std::unique_ptr<BoundExpr>> args;
};
using BoundExprPtr = std::unique_ptr<BoundExpr>;

// True for an expression whose value is a truth value (a comparison, And, ...).
bool isCondition(const BoundExpr& e);

// The value of a literal, or of a number literal negated; nothing for any
// other expression.
std::optional<SqlValue> literalValue(const BoundExpr& e);

// A table of the FROM clause under the name the statement exposes it by.
struct BoundTable {
  std::string exposedName;  // alias, or the table's name as written
  const TableInfo* table = nullptr;
};

// A FROM source: a table, or two sources joined.
struct BoundSource {
  BoundTable table;  // a table
  JoinKind join = JoinKind::kInner;
  std::unique_ptr<BoundSource> left, right;  // a join
  BoundExprPtr on;

  bool isJoin() const { return left != nullptr; }
};

struct BoundOrderItem {
  BoundExprPtr expr;
  bool descending = false;
};

// The rows an INSERT ... SELECT reads.
struct BoundSelect {
  Quantifier quantifier = Quantifier::kAll;
  std::string schema;  // of the tables it reads
  BoundSource from;
  size_t tableCount = 0;  // the tables of `from`
  // The exposed names of the tables its fields come from: DISTINCTROW over
  // a join takes each of their rows once.
  std::set<std::string> fieldSources;
  BoundExprPtr where;
  std::vector<BoundOrderItem> orderBy;
};

// A value stored into a field.
struct BoundValue {
  const ColumnInfo* field = nullptr;
  BoundExprPtr value;
};

struct BoundInsert {
  std::string schema;  // of the target
  const TableInfo* table = nullptr;
  std::vector<BoundValue> values;       // generated fields left out
  std::unique_ptr<BoundSelect> select;  // nullptr: VALUES
};

struct BoundDelete {
  std::string schema;
  BoundTable target;  // the table whose rows go
  BoundSource from;
  BoundExprPtr where;
};

struct BoundUpdate {
  std::string schema;
  BoundTable target;  // the table whose fields are set
  BoundSource source;
  std::vector<BoundValue> assignments;  // fields of the target
  BoundExprPtr where;
};

struct BoundColumnDef {
  std::string name;
  JetType type = JetType::kText;
  int size = 0;
  int scale = 0;
  bool required = false;  // NOT NULL, or a field of the primary key
  bool inKey = false;     // a field of any key
  std::optional<SqlValue> defaultValue;
};

struct BoundCreateTable {
  std::string schema;
  std::string table;
  std::vector<BoundColumnDef> columns;
  std::vector<KeyConstraint> keys;  // column keys included; at most one primary
};

struct BoundIndexColumn {
  const ColumnInfo* field = nullptr;
  bool descending = false;
};

struct BoundCreateIndex {
  std::string schema;
  std::string index;
  const TableInfo* table = nullptr;
  bool unique = false;  // UNIQUE or WITH PRIMARY
  std::vector<BoundIndexColumn> columns;
};

struct BoundDropTable {
  std::string schema;
  const TableInfo* table = nullptr;
  // The catalog's statement that removes the table's field properties, or
  // "" when the file keeps none.
  std::string dropProperties;
};

}  // namespace korvane::db
