// Binds FROM tables and column names of a statement to the catalog.
#include "db/resolver.h"

#include <algorithm>

#include "db/jet_collation.h"
#include "sqlite/jet_errors.h"

namespace korvane::db {

void Resolver::bindSource(Source& source) {
  if (source.isJoin) {
    bindSource(*source.left);
    bindSource(*source.right);
    bindExpr(*source.on);
    return;
  }
  const TableInfo* table = catalog_.findSource(source.table);
  if (!table) raiseJet(jeterr::kInputTableNotFound, source.table);
  source.boundTable = table->name;
  scope_.push_back({source.exposedName(), table});
}

const ScopeEntry* Resolver::findEntry(const std::string& name) const {
  for (const auto& entry : scope_)
    if (sameName(entry.exposedName, name)) return &entry;
  return nullptr;
}

bool Resolver::bindName(const std::string& qualifier, const std::string& name, std::string& source,
                        std::string& column, JetType& type) {
  const ScopeEntry* found = nullptr;
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
    return false;
  }
  source = found->exposedName;
  column = foundColumn->name;
  type = foundColumn->type;
  return true;
}

void Resolver::bindExpr(Expr& e) {
  if (e.kind == ExprKind::kColumn) {
    bindName(e.qualifier, e.name, e.boundSource, e.boundColumn, e.boundType);
    return;
  }
  for (auto& arg : e.args) bindExpr(*arg);
}

void Resolver::bindAssignment(Assignment& a) {
  bindName(a.qualifier, a.column, a.boundSource, a.boundColumn, a.boundType);
  bindExpr(*a.value);
}

void Resolver::finish() const {
  if (!unknownNames_.empty())
    raiseJet(jeterr::kTooFewParameters, std::to_string(unknownNames_.size()));
}

bool isCondition(const Expr& e) {
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

JetType typeOf(const Expr& e) {
  switch (e.kind) {
    case ExprKind::kNumber:
      return e.isDate ? JetType::kDateTime : JetType::kDouble;
    case ExprKind::kText:
      return JetType::kText;
    case ExprKind::kBool:
      return JetType::kYesNo;
    case ExprKind::kColumn:
      return e.boundType;
    case ExprKind::kNegate:
      return typeOf(*e.args[0]);
    case ExprKind::kNull:
      return JetType::kUnknown;
    case ExprKind::kBinary:
      if (isCondition(e)) return JetType::kYesNo;
      if (e.op == BinaryOp::kConcat) return JetType::kMemo;
      if (e.op == BinaryOp::kAdd && isTextType(typeOf(*e.args[0])) &&
          isTextType(typeOf(*e.args[1])))
        return JetType::kMemo;
      return JetType::kDouble;
    default:
      return JetType::kYesNo;
  }
}

}  // namespace korvane::db
