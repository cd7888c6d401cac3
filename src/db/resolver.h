// Name resolution: the tables of a FROM clause against the catalog, and the
// names in expressions against those tables, as Jet resolves them.
//
// A table that is not there fails with 3078 (input table). A column name
// resolves without regard to case, with or without its table; a name found
// in two tables fails with 3079; a name found nowhere is, to Jet, a parameter
// without a value, and the statement fails with 3061 "Expected n" once all
// names have been looked at (finish()).
#pragma once

#include <string>
#include <vector>

#include "db/ast.h"
#include "db/catalog.h"

namespace korvane::db {

// The tables visible to a statement, in the order the FROM clause names them.
struct ScopeEntry {
  std::string exposedName;  // alias, or the table's name as written
  const TableInfo* table = nullptr;
};

class Resolver {
 public:
  explicit Resolver(Catalog& catalog) : catalog_(catalog) {}

  // Adds every table (or view) of `source` to the scope and records the name
  // the file spells it with; 3078 for the first missing one.
  void bindSource(Source& source);

  // Resolves the column names in `e` (and its parts).
  void bindExpr(Expr& e);

  // Resolves an assignment's target column.
  void bindAssignment(Assignment& a);

  // The scope entry exposed as `name`, or nullptr.
  const ScopeEntry* findEntry(const std::string& name) const;
  const std::vector<ScopeEntry>& scope() const { return scope_; }

  // Fails with 3061 when some names resolved to nothing.
  void finish() const;

 private:
  // Finds `qualifier.name` (qualifier may be empty); returns false when unknown.
  bool bindName(const std::string& qualifier, const std::string& name, std::string& source,
                std::string& column, JetType& type);

  Catalog& catalog_;
  std::vector<ScopeEntry> scope_;
  std::vector<std::string> unknownNames_;
};

// The Jet type an expression yields, as far as it is known before running it.
JetType typeOf(const Expr& e);

// True for an expression whose value is a truth value (a comparison, And, ...).
bool isCondition(const Expr& e);

}  // namespace korvane::db
