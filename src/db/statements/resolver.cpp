// Binds FROM tables, and the names and literals of expressions, to the
// catalog.
#include "db/statements/resolver.h"

#include <algorithm>

#include "db/values/jet_collation.h"
#include "db/values/sql_literal.h"
#include "sqlite/jet_errors.h"

namespace korvane::db {

namespace {

BoundExprPtr literal(ExprKind kind, SqlValue value, JetType type) {
  auto e = std::make_unique<BoundExpr>();
  e->kind = kind;
  e->value = std::move(value);
  e->type = type;
  return e;
}

// The type an operation yields, from the types of its operands.
JetType typeOfOperation(const BoundExpr& e) {
  if (e.kind == ExprKind::kNegate) return e.args[0]->type;
  if (isCondition(e)) return JetType::kYesNo;
  if (e.op == BinaryOp::kConcat) return JetType::kMemo;
  if (e.op == BinaryOp::kAdd && isTextType(e.args[0]->type) && isTextType(e.args[1]->type))
    return JetType::kMemo;
  return JetType::kDouble;
}

}  // namespace

BoundSource Resolver::bindSource(const Source& source) {
  BoundSource bound;
  if (source.isJoin) {
    bound.join = source.join;
    bound.left = std::make_unique<BoundSource>(bindSource(*source.left));
    bound.right = std::make_unique<BoundSource>(bindSource(*source.right));
    bound.on = bindExpr(*source.on);
    return bound;
  }
  const TableInfo* table = catalog_.findSource(source.table);
  if (!table) raiseJet(jeterr::kInputTableNotFound, source.table);
  bound.table = {source.exposedName(), table};
  scope_.push_back(bound.table);
  return bound;
}

const BoundTable* Resolver::findEntry(const std::string& name) const {
  for (const auto& entry : scope_)
    if (sameName(entry.exposedName, name)) return &entry;
  return nullptr;
}

BoundExprPtr Resolver::bindColumn(const std::string& qualifier, const std::string& name) {
  auto e = std::make_unique<BoundExpr>();
  e->kind = ExprKind::kColumn;
  const BoundTable* found = nullptr;
  const ColumnInfo* foundColumn = nullptr;
  for (const auto& entry : scope_) {
    if (!qualifier.empty() && !sameName(entry.exposedName, qualifier)) continue;
    const ColumnInfo* c = entry.table->findColumn(name);
    if (!c) continue;
    if (found && qualifier.empty()) raiseJet(jeterr::kAmbiguousField, name);
    found = &entry;
    foundColumn = c;
  }
  if (!found) {
    std::string full = qualifier.empty() ? name : qualifier + "." + name;
    auto known = std::find_if(unknownNames_.begin(), unknownNames_.end(),
                              [&](const std::string& n) { return sameName(n, full); });
    if (known == unknownNames_.end()) unknownNames_.push_back(full);
    return e;
  }
  e->column = {found->exposedName, foundColumn->name};
  e->type = foundColumn->type;
  return e;
}

BoundExprPtr Resolver::bindExpr(const Expr& e) {
  switch (e.kind) {
    case ExprKind::kNumber:
      return literal(e.kind, numberValue(e.value),
                     e.isDate ? JetType::kDateTime : JetType::kDouble);
    case ExprKind::kText:
      return literal(e.kind, e.value, JetType::kText);
    case ExprKind::kNull:
      return literal(e.kind, SqlValue{}, JetType::kUnknown);
    case ExprKind::kTrue:
      return literal(e.kind, std::int64_t{-1}, JetType::kYesNo);
    case ExprKind::kFalse:
      return literal(e.kind, std::int64_t{0}, JetType::kYesNo);
    case ExprKind::kColumn:
      return bindColumn(e.qualifier, e.name);
    default:
      break;
  }
  auto bound = std::make_unique<BoundExpr>();
  bound->kind = e.kind;
  bound->op = e.op;
  bound->negated = e.negated;
  for (const auto& arg : e.args) bound->args.push_back(bindExpr(*arg));
  bound->type = typeOfOperation(*bound);
  return bound;
}

void Resolver::finish() const {
  if (!unknownNames_.empty())
    raiseJet(jeterr::kTooFewParameters, std::to_string(unknownNames_.size()));
}

}  // namespace korvane::db
