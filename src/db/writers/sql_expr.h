// SQLite text for bound Jet expressions and FROM sources.
//
// Jet's meaning is written out explicitly: text comparisons use the JETTEXT
// collation, Like and '&' call jet_like and jet_concat, '/' divides as
// doubles, True is -1 (a truth value used as a value is negated to -1/0), a
// RIGHT JOIN is written as the LEFT JOIN it equals, a value stored into a
// field goes through that field's jet_to_<type> conversion.
#pragma once

#include <string>

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

// `valueSql` converted as Jet converts a value stored into a field of type
// `to`, by what the value is when the statement runs; the type `from` of
// the field it comes from only decides how a date, a Yes/No, a Single or a
// Currency is written as text. What cannot convert becomes Null
// (jet_convert.h).
std::string sqlConverted(const std::string& valueSql, const FieldType& to,
                         JetType from = JetType::kUnknown);

// Expression `e` as a value stored into a field of type `to`. A literal is
// converted once, here; any other value as the statement runs.
std::string sqlValueFor(const BoundExpr& e, const FieldType& to);

}  // namespace korvane::db
