// Jet's column types and how each is stored as an SQLite declared type.
//
// The declared type is chosen so that SQLite's type affinity keeps Jet's
// meaning (a Memo is LONGTEXT, so '0012' stays text; a Date/Time is DATETIME
// holding the Jet double). Reading a file back, the declared type tells the
// Jet type again; SQLite's own names (INTEGER, REAL, TEXT, BLOB) are read too.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

enum class JetType {
  kText,
  kMemo,
  kByte,
  kInteger,
  kLong,
  kSingle,
  kDouble,
  kCurrency,
  kDateTime,
  kYesNo,
  kCounter,
  kOle,
  kGuid,
  kDecimal,
  kUnknown,  // no declared type: any value
};

// The Jet type named by a type word of Jet SQL DDL (TEXT, LONG, DATETIME, ...),
// or nothing when the word names no Jet type.
std::optional<JetType> jetTypeOfDdlWord(std::string_view word);

// The declared type written into the SQLite schema for a Jet column.
// `size` is a Text's length (0: Jet's default 255), `scale` a Decimal's.
std::string declaredTypeOf(JetType type, int size = 0, int scale = 0);

// The Jet type of a stored declared type (ours, or SQLite's own names).
JetType jetTypeOfDeclared(std::string_view declared);

bool isTextType(JetType type);  // Text, Memo: compared as Jet compares text

}  // namespace korvane
