// Jet's conversion of a value into a field's type, in C++ and as the SQL
// functions the generated statements call.
#include "db/jet_convert.h"

#include <sqlite3.h>

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "db/jet_date.h"

namespace korvane::db {

namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool sameWord(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != upper[i]) return false;
  return true;
}

struct Range {
  double low, high;
};

// What a whole-number field holds.
std::optional<Range> wholeNumberRange(JetType to) {
  switch (to) {
    case JetType::kByte:
      return Range{0, 255};
    case JetType::kInteger:
      return Range{-32768, 32767};
    case JetType::kLong:
    case JetType::kCounter:
      return Range{-2147483648.0, 2147483647.0};
    default:
      return std::nullopt;
  }
}

// What a field holding fractions takes; beyond it Jet overflows.
Range fractionRange(JetType to) {
  switch (to) {
    case JetType::kSingle:
      return {-std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
    case JetType::kCurrency:
      return {-922337203685477.5808, 922337203685477.5807};
    default:
      return {-std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
  }
}

// A number (integer or real) into a number field.
SqlValue numberIntoField(const SqlValue& number, double value, JetType to) {
  if (auto range = wholeNumberRange(to)) {
    // Jet rounds half to even, as CInt and CLng do.
    const double whole = std::nearbyint(value);
    if (!(whole >= range->low && whole <= range->high)) return {};
    return static_cast<std::int64_t>(whole);
  }
  if (to == JetType::kDateTime) return isJetDate(value) ? number : SqlValue{};
  if (to == JetType::kYesNo) return std::int64_t{value != 0 ? -1 : 0};
  const Range range = fractionRange(to);
  if (!(value >= range.low && value <= range.high)) return {};
  return number;
}

SqlValue textIntoField(const std::string& text, JetType to) {
  if (to == JetType::kDateTime) {
    if (auto date = parseJetDate(text)) return *date;
    return {};
  }
  if (to == JetType::kYesNo) {
    const std::string_view word = trimmed(text);
    if (sameWord(word, "TRUE")) return std::int64_t{-1};
    if (sameWord(word, "FALSE")) return std::int64_t{0};
  }
  const auto number = parseJetNumber(text);
  if (!number) return {};
  return numberIntoField(*number, *number, to);
}

bool takesAnyValue(JetType to) {
  return to == JetType::kOle || to == JetType::kGuid || to == JetType::kUnknown;
}

SqlValue valueOf(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      return static_cast<std::int64_t>(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
      return sqlite3_value_double(v);
    case SQLITE_TEXT:
      return std::string(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                         sqlite3_value_bytes(v));
    case SQLITE_BLOB: {
      const auto* data = static_cast<const char*>(sqlite3_value_blob(v));
      return Blob{std::string(data ? data : "", sqlite3_value_bytes(v))};
    }
    default:
      return {};
  }
}

void setResult(sqlite3_context* ctx, const SqlValue& value) {
  if (auto* i = std::get_if<std::int64_t>(&value)) return sqlite3_result_int64(ctx, *i);
  if (auto* d = std::get_if<double>(&value)) return sqlite3_result_double(ctx, *d);
  if (auto* s = std::get_if<std::string>(&value))
    return sqlite3_result_text(ctx, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
  if (auto* b = std::get_if<Blob>(&value))
    return sqlite3_result_blob(ctx, b->bytes.data(), static_cast<int>(b->bytes.size()),
                               SQLITE_TRANSIENT);
  sqlite3_result_null(ctx);
}

// Fields whose values a real keeps as it is, when within their range.
constexpr bool keepsReals(JetType to) {
  return to == JetType::kSingle || to == JetType::kDouble || to == JetType::kCurrency ||
         to == JetType::kDecimal || to == JetType::kDateTime;
}

bool realFits(double value, JetType to) {
  if (to == JetType::kDateTime) return isJetDate(value);
  const Range range = fractionRange(to);
  return value >= range.low && value <= range.high;
}

// jet_to_<type>(v). Every value a transfer stores passes here, so the values
// that stay as they are (Null, a real into a Double or Date/Time field, a
// text into a Text field) leave at once; the rest take convertForField.
template <JetType kTo>
void convertInto(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
      return;  // a function that sets no result returns Null
    case SQLITE_FLOAT:
      if constexpr (keepsReals(kTo)) {
        const double d = sqlite3_value_double(v);
        if (realFits(d, kTo)) sqlite3_result_double(ctx, d);
        return;
      }
      break;
    case SQLITE_TEXT:
      if constexpr (kTo == JetType::kText || kTo == JetType::kMemo)
        return sqlite3_result_value(ctx, v);
      break;
    default:
      break;
  }
  setResult(ctx, convertForField(valueOf(v), kTo));
}

struct Conversion {
  std::string_view function;
  JetType to;
  void (*call)(sqlite3_context*, int, sqlite3_value**);
};

constexpr std::array<Conversion, 12> kConversions = {{
    {"jet_to_text", JetType::kText, convertInto<JetType::kText>},
    {"jet_to_text", JetType::kMemo, convertInto<JetType::kText>},
    {"jet_to_byte", JetType::kByte, convertInto<JetType::kByte>},
    {"jet_to_integer", JetType::kInteger, convertInto<JetType::kInteger>},
    {"jet_to_long", JetType::kLong, convertInto<JetType::kLong>},
    {"jet_to_long", JetType::kCounter, convertInto<JetType::kLong>},
    {"jet_to_single", JetType::kSingle, convertInto<JetType::kSingle>},
    {"jet_to_double", JetType::kDouble, convertInto<JetType::kDouble>},
    {"jet_to_currency", JetType::kCurrency, convertInto<JetType::kCurrency>},
    {"jet_to_decimal", JetType::kDecimal, convertInto<JetType::kDecimal>},
    {"jet_to_date", JetType::kDateTime, convertInto<JetType::kDateTime>},
    {"jet_to_yesno", JetType::kYesNo, convertInto<JetType::kYesNo>},
}};

}  // namespace

SqlValue convertForField(const SqlValue& value, JetType to) {
  if (takesAnyValue(to) || std::holds_alternative<std::monostate>(value)) return value;
  if (std::holds_alternative<Blob>(value)) return {};
  if (const auto* text = std::get_if<std::string>(&value))
    return isTextType(to) ? value : textIntoField(*text, to);
  const double number = std::holds_alternative<double>(value)
                            ? std::get<double>(value)
                            : static_cast<double>(std::get<std::int64_t>(value));
  if (isTextType(to)) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
    if (!std::isfinite(number)) return {};
    return jetNumberText(number);
  }
  return numberIntoField(value, number, to);
}

std::string_view conversionFunction(JetType to) {
  for (const auto& c : kConversions)
    if (c.to == to) return c.function;
  return {};
}

int registerJetConversions(sqlite3* db) {
  for (const auto& c : kConversions) {
    const std::string name(c.function);
    const int rc = sqlite3_create_function(db, name.c_str(), 1,
                                           SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                           nullptr, c.call, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

std::optional<double> parseJetNumber(std::string_view text) {
  text = trimmed(text);
  size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  // from_chars reads a '-' but no '+'.
  const size_t start = text.empty() || text[0] != '+' ? 0 : 1;
  auto digits = [&] {
    const size_t from = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
    return at - from;
  };
  size_t mantissa = digits();
  if (at < text.size() && text[at] == '.') {
    ++at;
    mantissa += digits();
  }
  if (mantissa == 0) return std::nullopt;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (digits() == 0) return std::nullopt;
  }
  if (at != text.size()) return std::nullopt;
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data() + start, end, value);
  if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string jetNumberText(double value) {
  if (value == 0) return "0";  // also -0
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  for (char& c : text)
    if (c == 'e') c = 'E';
  return text;
}

std::string sqlNumber(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace korvane::db
