// Name resolution: the tables of a FROM clause against the catalog, and the
// names in expressions against those tables, as Jet resolves them; the
// binder (binder.h) builds each statement's bound form with it.
//
// A table that is not there fails with 3078 (input table). A column name
// resolves without regard to case, with or without its table; a name found
// in two tables fails with 3079; a name found nowhere is, to Jet, a parameter
// without a value, and the statement fails with 3061 "Expected n" once all
// names have been looked at (finish()). Until then such a name stands in
// the bound tree as a column of no table, so nothing bound before finish()
// may be written.
#pragma once

#include <string>
#include <vector>

#include "db/statements/ast.h"
#include "db/statements/bound_statement.h"
#include "db/statements/catalog.h"

namespace korvane::db {

class Resolver {
 public:
  explicit Resolver(Catalog& catalog) : catalog_(catalog) {}

  // Adds every table (or view) of `source` to the scope, in the order the
  // FROM clause names them; 3078 for the first missing one.
  BoundSource bindSource(const Source& source);

  // `e` with its names resolved and its literals typed.
  BoundExprPtr bindExpr(const Expr& e);

  // The field `qualifier.name` (qualifier may be empty) as a column reference.
  BoundExprPtr bindColumn(const std::string& qualifier, const std::string& name);

  // The table exposed as `name`, or nullptr.
  const BoundTable* findEntry(const std::string& name) const;
  const std::vector<BoundTable>& scope() const { return scope_; }

  // Fails with 3061 when some names resolved to nothing.
  void finish() const;

 private:
  Catalog& catalog_;
  std::vector<BoundTable> scope_;
  std::vector<std::string> unknownNames_;
};

}  // namespace korvane::db
