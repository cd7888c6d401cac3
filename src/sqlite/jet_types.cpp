// Jet column types: the DDL words Jet accepts, the declared types we store.
#include "sqlite/jet_types.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "text/case_fold.h"

namespace korvane {

namespace {

// The type word `spelled` starts with: "VARCHAR" of "VARCHAR(50)".
std::string_view leadingWord(std::string_view spelled) {
  size_t end = 0;
  while (end < spelled.size() &&
         (std::isalnum(static_cast<unsigned char>(spelled[end])) || spelled[end] == '_'))
    ++end;
  return spelled.substr(0, end);
}

struct TypeWord {
  std::string_view word;
  JetType type;
};

// Jet SQL's type words. Note Jet's INTEGER is a Long and its REAL a Single.
constexpr TypeWord kDdlWords[] = {
    {"TEXT", JetType::kText},         {"VARCHAR", JetType::kText},
    {"CHAR", JetType::kText},         {"CHARACTER", JetType::kText},
    {"STRING", JetType::kText},       {"ALPHANUMERIC", JetType::kText},
    {"NVARCHAR", JetType::kText},     {"NCHAR", JetType::kText},
    {"MEMO", JetType::kMemo},         {"LONGTEXT", JetType::kMemo},
    {"LONGCHAR", JetType::kMemo},     {"NOTE", JetType::kMemo},
    {"NTEXT", JetType::kMemo},        {"BYTE", JetType::kByte},
    {"TINYINT", JetType::kByte},      {"INTEGER1", JetType::kByte},
    {"SHORT", JetType::kInteger},     {"SMALLINT", JetType::kInteger},
    {"INTEGER2", JetType::kInteger},  {"LONG", JetType::kLong},
    {"INT", JetType::kLong},          {"INTEGER", JetType::kLong},
    {"INTEGER4", JetType::kLong},     {"SINGLE", JetType::kSingle},
    {"REAL", JetType::kSingle},       {"FLOAT4", JetType::kSingle},
    {"IEEESINGLE", JetType::kSingle}, {"DOUBLE", JetType::kDouble},
    {"FLOAT", JetType::kDouble},      {"FLOAT8", JetType::kDouble},
    {"IEEEDOUBLE", JetType::kDouble}, {"NUMBER", JetType::kDouble},
    {"CURRENCY", JetType::kCurrency}, {"MONEY", JetType::kCurrency},
    {"DATETIME", JetType::kDateTime}, {"DATE", JetType::kDateTime},
    {"TIME", JetType::kDateTime},     {"TIMESTAMP", JetType::kDateTime},
    {"BIT", JetType::kYesNo},         {"YESNO", JetType::kYesNo},
    {"LOGICAL", JetType::kYesNo},     {"LOGICAL1", JetType::kYesNo},
    {"COUNTER", JetType::kCounter},   {"AUTOINCREMENT", JetType::kCounter},
    {"LONGBINARY", JetType::kOle},    {"GENERAL", JetType::kOle},
    {"OLEOBJECT", JetType::kOle},     {"IMAGE", JetType::kOle},
    {"GUID", JetType::kGuid},         {"UNIQUEIDENTIFIER", JetType::kGuid},
    {"DECIMAL", JetType::kDecimal},   {"NUMERIC", JetType::kDecimal},
    {"DEC", JetType::kDecimal},
};

// Stored declared types, read back. SQLite's REAL is a Double here, and a
// bare TEXT (any length) a Text.
constexpr TypeWord kStoredWords[] = {
    {"VARCHAR", JetType::kText},
    {"CHAR", JetType::kText},
    {"TEXT", JetType::kText},
    {"NVARCHAR", JetType::kText},
    {"CHARACTER", JetType::kText},
    {"NCHAR", JetType::kText},
    {"LONGTEXT", JetType::kMemo},
    {"MEMO", JetType::kMemo},
    {"CLOB", JetType::kMemo},
    {"TINYINT", JetType::kByte},
    {"BYTE", JetType::kByte},
    {"SMALLINT", JetType::kInteger},
    {"SHORT", JetType::kInteger},
    {"INTEGER", JetType::kLong},
    {"INT", JetType::kLong},
    {"LONG", JetType::kLong},
    {"BIGINT", JetType::kLong},
    {"FLOAT4", JetType::kSingle},
    {"SINGLE", JetType::kSingle},
    {"REAL", JetType::kDouble},
    {"DOUBLE", JetType::kDouble},
    {"FLOAT", JetType::kDouble},
    {"FLOAT8", JetType::kDouble},
    {"CURRENCY", JetType::kCurrency},
    {"MONEY", JetType::kCurrency},
    {"DATETIME", JetType::kDateTime},
    {"DATE", JetType::kDateTime},
    {"TIMESTAMP", JetType::kDateTime},
    {"BIT", JetType::kYesNo},
    {"BOOLEAN", JetType::kYesNo},
    {"YESNO", JetType::kYesNo},
    {"COUNTER", JetType::kCounter},
    {"AUTOINCREMENT", JetType::kCounter},
    {"LONGBINARY", JetType::kOle},
    {"BLOB", JetType::kOle},
    {"GUID", JetType::kGuid},
    {"DECIMAL", JetType::kDecimal},
    {"NUMERIC", JetType::kDecimal},
};

// The type that `spelled`'s leading word names, in any letter case (the
// type words are ASCII, so only a word of the same length can be one).
template <size_t N>
std::optional<JetType> lookUp(const TypeWord (&table)[N], std::string_view spelled) {
  const std::string_view word = leadingWord(spelled);
  auto it = std::find_if(std::begin(table), std::end(table), [&](const TypeWord& t) {
    return t.word.size() == word.size() && text::compareIgnoringCase(t.word, word) == 0;
  });
  if (it == std::end(table)) return std::nullopt;
  return it->type;
}

}  // namespace

std::optional<JetType> jetTypeOfDdlWord(std::string_view word) {
  return lookUp(kDdlWords, word);
}

std::string declaredTypeOf(JetType type, int size, int scale) {
  switch (type) {
    case JetType::kText:
      return "VARCHAR(" + std::to_string(size > 0 ? size : 255) + ")";
    case JetType::kMemo:
      return "LONGTEXT";
    case JetType::kByte:
      return "TINYINT";
    case JetType::kInteger:
      return "SMALLINT";
    case JetType::kLong:
      return "INTEGER";
    case JetType::kSingle:
      return "FLOAT4";
    case JetType::kDouble:
      return "DOUBLE";
    case JetType::kCurrency:
      return "CURRENCY";
    case JetType::kDateTime:
      return "DATETIME";
    case JetType::kYesNo:
      return "BIT";
    case JetType::kCounter:
      return "COUNTER";
    case JetType::kOle:
      return "LONGBINARY";
    case JetType::kGuid:
      return "GUID";
    case JetType::kDecimal:
      return "DECIMAL(" + std::to_string(size > 0 ? size : 18) + "," + std::to_string(scale) + ")";
    case JetType::kUnknown:
      break;
  }
  return "";
}

JetType jetTypeOfDeclared(std::string_view declared) {
  return lookUp(kStoredWords, declared).value_or(JetType::kUnknown);
}

bool isTextType(JetType type) {
  return type == JetType::kText || type == JetType::kMemo;
}

}  // namespace korvane
