// Literals between SQL text and typed values: a number as Jet SQL spells it
// read into the value SQLite reads from that spelling, and a value written
// back as an SQLite literal.
#pragma once

#include <string>
#include <string_view>

#include "db/values/jet_convert.h"

namespace korvane::db {

// The number literal `digits` (as the tokenizer reads one: "12", "0.5",
// ".5", "1.5E3") as SQLite reads it: an integer when it is written as one
// and fits 64 bits, otherwise a real; beyond a real's range, an infinity,
// below it, 0.
SqlValue numberValue(std::string_view digits);

// `value` as a literal SQLite reads back as the same value of the same
// storage class: a whole real keeps a ".0", an infinity is 9e999.
std::string sqlLiteral(const SqlValue& value);

// `value` as a literal stored into a field, its conversion done: as
// sqlLiteral, but a whole real is written as the integer it equals.
std::string sqlFieldLiteral(const SqlValue& value);

}  // namespace korvane::db
