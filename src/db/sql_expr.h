// SQLite text for resolved Jet expressions and FROM sources.
//
// Jet's meaning is written out explicitly: text comparisons use the JETTEXT
// collation, Like and '&' call jet_like and jet_concat, '/' divides as
// doubles, True is -1 (a truth value used as a value is negated to -1/0), a
// RIGHT JOIN is written as the LEFT JOIN it equals.
#pragma once

#include <string>

#include "db/ast.h"

namespace korvane::db {

// `e` as an SQLite expression. With `asValue`, a truth value is written as
// Jet's -1/0 (for values to store); otherwise as a condition (WHERE, ON).
std::string sqlOfExpr(const Expr& e, bool asValue = false);

// `source` as an SQLite FROM clause; tables of schema `schema`, each under
// its exposed name.
std::string sqlOfSource(const Source& source, const std::string& schema);

// The ORDER BY term of `item` (text ordered as Jet orders it).
std::string sqlOfOrderItem(const OrderItem& item);

// `valueSql` (of Jet type `from`) converted as Jet converts a value stored
// into a column of type `to`: what cannot convert becomes Null.
std::string sqlConverted(const std::string& valueSql, JetType from, JetType to);

// Expression `e` as a value stored into a column of type `to`.
std::string sqlValueFor(const Expr& e, JetType to);

}  // namespace korvane::db
