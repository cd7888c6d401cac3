// SQLite text for bound Jet expressions and FROM sources.
//
// Jet's meaning is written out explicitly: text comparisons use the JETTEXT
// collation, Like and '&' call jet_like and jet_concat, '/' divides as
// doubles, True is -1 (a truth value used as a value is negated to -1/0), a
// RIGHT JOIN is written as the LEFT JOIN it equals, a value stored into a
// field goes through that field's jet_to_<type> conversion.
#pragma once

#include <string>
#include <vector>

#include "db/statements/bound_statement.h"

namespace korvane::db {

// `e` as an SQLite expression. With `asValue`, a truth value is written as
// Jet's -1/0 (for values to store); otherwise as a condition (WHERE, ON).
std::string sqlOfExpr(const BoundExpr& e, bool asValue = false);

// `source` as an SQLite FROM clause; tables of schema `schema`, spelled as
// the file spells them, each under its exposed name.
std::string sqlOfSource(const BoundSource& source, const std::string& schema);

// The ORDER BY term of `item`: text ordered as Jet orders it, any other
// field by its value converted to the field's type.
std::string sqlOfOrderItem(const BoundOrderItem& item);

// Expression `e` as a value stored into a field of type `to`, converted as
// Jet converts it (jet_convert.h). A literal is converted once, here; any
// other value as the statement runs.
std::string sqlValueFor(const BoundExpr& e, const FieldType& to);

// The condition that none of `values` (the SQL of each of `stored`'s values)
// puts Null into a key field the file lets hold Null, as Jet skips a row
// that would; "" when none of those fields is such.
std::string sqlKeysPresent(const std::vector<BoundValue>& stored,
                           const std::vector<std::string>& values);

}  // namespace korvane::db
