// Values written into fields, converted as Jet converts them: by what each
// value is (its SQLite storage class and content), never by the declared
// type of the field it came from. A value Jet cannot convert becomes Null.
//
// The same rules run in C++ (convertForField, for literals the SQL writer
// folds and for tests) and in SQL: registerJetConversions puts one function
// per target type on a connection (jet_to_double(v), jet_to_date(v), ...),
// and the SQL writer wraps every value stored into a field in the one for
// that field's type. docs/file-format.md lists the rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "sqlite/jet_types.h"

struct sqlite3;

namespace korvane::db {

struct Blob {
  std::string bytes;
  bool operator==(const Blob&) const = default;
};

// A value as SQLite holds it: Null, integer, real, text or blob.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string, Blob>;

// `value` as Jet stores it into a field of type `to`, or Null when Jet cannot
// convert it. OLE Object, GUID and untyped fields take every value as it is.
SqlValue convertForField(const SqlValue& value, JetType to);

// The SQL function that converts a value for a field of type `to`
// ("jet_to_double"), or "" for a field that takes every value as it is.
std::string_view conversionFunction(JetType to);

// Registers the conversion functions on `db`; returns an SQLite result code.
int registerJetConversions(sqlite3* db);

// A text read as a number, as Jet reads it in the US locale: spaces around,
// a sign, digits with one decimal point, an exponent (" -12.5 ", "1e5",
// ".5"). Anything else, and a number beyond a Double, gives nothing: no
// thousands separators or decimal commas ("12,5"), no hexadecimal ("0x1A"),
// no "Inf". Independent of the process's C locale.
std::optional<double> parseJetNumber(std::string_view text);

// A number as Jet writes it in text: whole numbers plainly, others with at
// most 15 significant digits and no trailing zeros, large and small ones with
// an exponent ("12", "12.5", "0.1", "1E+20", "1E-05").
std::string jetNumberText(double value);

// `value` as an SQL number literal that reads back as exactly that double
// ("0.1", "43529.25", "1e+20"), whatever the process's C locale.
std::string sqlNumber(double value);

}  // namespace korvane::db
