// INSERT INTO bound: the fields the SELECT or VALUES yields, each paired
// with the target field it is stored into (binder.h says how, and what
// fails).
#include "db/statements/binder.h"
#include "db/statements/resolver.h"
#include "invariant/invariant.h"

namespace korvane::db {

namespace {

// One field the SELECT yields.
struct OutputColumn {
  std::string name;  // the name it pairs by: field name or alias
  BoundExprPtr value;
};

BoundExprPtr columnOf(const BoundTable& entry, const ColumnInfo& c) {
  auto e = std::make_unique<BoundExpr>();
  e->kind = ExprKind::kColumn;
  e->column = {entry.exposedName, c.name};
  e->type = c.type;
  return e;
}

void addTableColumns(const BoundTable& entry, std::vector<OutputColumn>& out) {
  for (const auto& c : entry.table->columns) out.push_back({c.name, columnOf(entry, c)});
}

void collectSources(const BoundExpr& e, std::set<std::string>& sources) {
  if (e.kind == ExprKind::kColumn) sources.insert(e.column.source);
  for (const auto& arg : e.args) collectSources(*arg, sources);
}

// Binds every name of the SELECT into `bound`, then lists the fields it yields.
std::vector<OutputColumn> bindSelect(const SelectStmt& s, Resolver& r, BoundSelect& bound) {
  bound.quantifier = s.quantifier;
  bound.from = r.bindSource(*s.from);
  std::vector<BoundExprPtr> listed;
  for (const auto& item : s.items)
    if (item.kind == SelectItem::Kind::kExpr) listed.push_back(r.bindExpr(*item.expr));
  if (s.where) bound.where = r.bindExpr(*s.where);
  for (const auto& o : s.orderBy) bound.orderBy.push_back({r.bindExpr(*o.expr), o.descending});
  r.finish();
  bound.tableCount = r.scope().size();

  std::vector<OutputColumn> out;
  auto next = listed.begin();
  int exprNumber = 1000;
  for (const auto& item : s.items) {
    if (item.kind == SelectItem::Kind::kAll) {
      for (const auto& entry : r.scope()) {
        addTableColumns(entry, out);
        bound.fieldSources.insert(entry.exposedName);
      }
    } else if (item.kind == SelectItem::Kind::kTableAll) {
      const BoundTable* entry = r.findEntry(item.qualifier);
      if (!entry) raiseJet(jeterr::kInputTableNotFound, item.qualifier);
      addTableColumns(*entry, out);
      bound.fieldSources.insert(entry->exposedName);
    } else {
      BoundExprPtr value = std::move(*next++);
      std::string name = !item.alias.empty()                ? item.alias
                         : value->kind == ExprKind::kColumn ? value->column.column
                                                            : "Expr" + std::to_string(exprNumber++);
      collectSources(*value, bound.fieldSources);
      out.push_back({std::move(name), std::move(value)});
    }
  }
  return out;
}

// The target fields the values go to, one per value. A generated field
// computes its own value: named in a field list it fails with 3164, paired
// by name its value is left out (nullptr).
std::vector<const ColumnInfo*> pairTargets(const std::vector<std::string>& fieldList,
                                           const TableInfo& target,
                                           const std::vector<std::string>& valueNames) {
  std::vector<const ColumnInfo*> targets;
  if (!fieldList.empty()) {
    if (fieldList.size() != valueNames.size()) raiseJet(jeterr::kValueCountMismatch);
    for (const auto& name : fieldList) {
      const ColumnInfo* c = target.findColumn(name);
      if (!c) raiseJet(jeterr::kUnknownInsertField, name);
      if (c->generated) raiseJet(jeterr::kFieldNotUpdatable);
      targets.push_back(c);
    }
  } else {
    for (const auto& name : valueNames) {
      const ColumnInfo* c = target.findColumn(name);
      if (!c) raiseJet(jeterr::kUnknownInsertField, name);
      targets.push_back(c->generated ? nullptr : c);
    }
  }
  for (size_t i = 0; i < targets.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (targets[i] && targets[i] == targets[j]) raiseJet(jeterr::kFieldDefinedTwice);
  return targets;
}

// The values paired with their fields, those of generated fields left out.
std::vector<BoundValue> paired(const std::vector<const ColumnInfo*>& targets,
                               std::vector<BoundExprPtr> values) {
  KORVANE_ASSERT(targets.size() == values.size());
  std::vector<BoundValue> out;
  for (size_t i = 0; i < targets.size(); ++i)
    if (targets[i]) out.push_back({targets[i], std::move(values[i])});
  return out;
}

void bindSelectValues(const InsertStmt& s, Catalog& source, BoundInsert& bound) {
  Resolver r(source);
  bound.select = std::make_unique<BoundSelect>();
  bound.select->schema = source.schema();
  std::vector<OutputColumn> out = bindSelect(*s.select, r, *bound.select);
  std::vector<std::string> names;
  std::vector<BoundExprPtr> values;
  for (auto& o : out) {
    names.push_back(std::move(o.name));
    values.push_back(std::move(o.value));
  }
  bound.values = paired(pairTargets(s.columns, *bound.table, names), std::move(values));
}

void bindListedValues(const InsertStmt& s, Catalog& source, BoundInsert& bound) {
  Resolver r(source);
  std::vector<BoundExprPtr> values;
  for (const auto& v : s.values) values.push_back(r.bindExpr(*v));
  r.finish();
  std::vector<std::string> names;
  if (s.columns.empty()) {
    for (const auto& c : bound.table->columns)
      if (!c.generated) names.push_back(c.name);
  } else {
    names = s.columns;
  }
  if (values.size() != names.size()) raiseJet(jeterr::kValueCountMismatch);
  bound.values = paired(pairTargets(names, *bound.table, names), std::move(values));
}

}  // namespace

BoundInsert bindInsert(const InsertStmt& s, Catalog& source, Catalog& target) {
  if (s.select) {
    // Jet looks for the input tables before the output table.
    Resolver probe(source);
    probe.bindSource(*s.select->from);
  }
  BoundInsert bound;
  bound.schema = target.schema();
  bound.table = target.findTable(s.table);
  if (!bound.table) {
    // A view can be read from, never appended to.
    if (target.findSource(s.table)) raiseJet(jeterr::kNotUpdatable);
    raiseJet(jeterr::kOutputTableNotFound, s.table);
  }
  if (s.select)
    bindSelectValues(s, source, bound);
  else
    bindListedValues(s, source, bound);
  return bound;
}

}  // namespace korvane::db
