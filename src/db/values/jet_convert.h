// Values written into fields, converted as Jet converts them: through OLE
// Automation's rules under English (United States) settings, by what each
// value is (its SQLite storage class and content), never by the declared
// type of the field it came from; only a Date/Time, Yes/No, Single or
// Currency written into a Text field is written as OLE writes that type. A
// value Jet cannot convert becomes Null.
//
// The same rules run in C++ (convertForField, for literals the SQL writer
// folds and for tests) and in SQL: registerJetConversions puts the
// conversion functions on a connection (jet_to_double(v), jet_to_date(v),
// jet_date_to_text(v), ...), and the SQL writer wraps every value stored
// into a field in the one conversionSql names. docs/file-format.md lists the
// rules and where each comes from.
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

// The field a value is stored into: its Jet type, and a Decimal's precision
// and scale as declared (0 and 0 when declared without them).
struct FieldType {
  FieldType(JetType jetType = JetType::kUnknown, int digits = 0, int decimals = 0)
      : type(jetType), precision(digits), scale(decimals) {}
  JetType type;
  int precision;
  int scale;
};

// `value`, coming from a field of type `from` (kUnknown for any other
// value), as Jet stores it into a field of type `to`, or Null when Jet
// cannot convert it. OLE Object, GUID and untyped fields take every value
// as it is.
SqlValue convertForField(const SqlValue& value, const FieldType& to,
                         JetType from = JetType::kUnknown);

// The SQL expression that converts `valueSql` as convertForField does,
// `valueSql` itself for a field that takes every value as it is.
std::string conversionSql(const std::string& valueSql, const FieldType& to,
                          JetType from = JetType::kUnknown);

// Registers the conversion functions on `db`; returns an SQLite result code.
int registerJetConversions(sqlite3* db);

// A text read as a number, as OLE reads one: white space of any kind around
// it, a sign before or after it or parentheses for a negative one, a '$',
// ',' between the digits of the whole part, one decimal point, an exponent
// ("\t-1,234.5e2\r\n", "(12)", "12-", "$1,200"). For a field of the whole
// number types `to` (Byte, Integer, Long, AutoNumber) also &H hexadecimal
// and &O octal, in the field's width ("&HFFFF" is -1 for an Integer).
// Anything else, and a number beyond a Double, gives nothing. Independent
// of the process's C locale.
std::optional<double> parseJetNumber(std::string_view text, JetType to = JetType::kDouble);

// A Double as OLE writes it: at most 15 significant digits, no trailing
// zeros, in fixed notation while it needs at most 15 decimal places and is
// below 1E+15 ("12", "0.3", "0.00002", "999999999999999"), with an exponent
// past that ("1E+15", "5.6789E-12").
std::string jetNumberText(double value);

// A Single as OLE writes it: the same with 7 significant digits ("0.1" for
// the Single nearest 0.1, "1E+08").
std::string jetSingleText(double value);

// A Currency as OLE writes it: fixed notation, at most four decimals, no
// trailing zeros ("1.5", "922337203685477.5807").
std::string jetCurrencyText(double value);

// `value` as an SQL number literal that reads back as exactly that double
// ("0.1", "43529.25", "1e+20"), whatever the process's C locale.
std::string sqlNumber(double value);

}  // namespace korvane::db
