// Number literals read as SQLite reads them, values written as literals.
#include "db/values/sql_literal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "sqlite/sql_text.h"

namespace korvane::db {

namespace {

// The power of ten of the first significant digit of a number's text
// ("0.05e3": 1; none at all, as in "0.0": very small). A text beyond a
// real's range is too large when it is not negative.
long leadingPower(std::string_view digits) {
  constexpr long kFar = std::numeric_limits<int>::max();
  const size_t e = std::min(digits.find_first_of("eE"), digits.size());
  long power = 0;
  if (e < digits.size()) {
    std::string_view exponent = digits.substr(e + 1);
    const bool negative = !exponent.empty() && exponent.front() == '-';
    if (!exponent.empty() && exponent.front() == '+') exponent.remove_prefix(1);
    if (std::from_chars(exponent.data(), exponent.data() + exponent.size(), power).ec !=
        std::errc())
      power = negative ? -kFar : kFar;
  }
  const std::string_view mantissa = digits.substr(0, e);
  const size_t point = std::min(mantissa.find('.'), mantissa.size());
  const size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return -kFar;
  const long shift =
      first < point ? static_cast<long>(point - first) - 1 : -static_cast<long>(first - point);
  return std::clamp(power, -kFar, kFar) + shift;
}

std::string realText(double value, bool keepReal) {
  if (std::isinf(value)) return value > 0 ? "9e999" : "-9e999";
  std::string text = sqlNumber(value);
  if (keepReal && text.find_first_not_of("-0123456789") == std::string::npos) text += ".0";
  return text;
}

std::string literal(const SqlValue& value, bool keepReal) {
  if (auto* whole = std::get_if<std::int64_t>(&value)) return std::to_string(*whole);
  if (auto* real = std::get_if<double>(&value)) return realText(*real, keepReal);
  if (auto* text = std::get_if<std::string>(&value)) return sqlite::quoteText(*text);
  if (auto* blob = std::get_if<Blob>(&value)) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string sql = "X'";
    for (unsigned char c : blob->bytes) {
      sql += kHex[c >> 4];
      sql += kHex[c & 15];
    }
    return sql + "'";
  }
  return "NULL";
}

}  // namespace

SqlValue numberValue(std::string_view digits) {
  const char* end = digits.data() + digits.size();
  std::int64_t whole = 0;
  if (auto [ptr, ec] = std::from_chars(digits.data(), end, whole); ec == std::errc() && ptr == end)
    return whole;
  double real = 0;
  if (std::from_chars(digits.data(), end, real).ec == std::errc::result_out_of_range)
    return leadingPower(digits) >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
  return real;
}

std::string sqlLiteral(const SqlValue& value) {
  return literal(value, true);
}

std::string sqlFieldLiteral(const SqlValue& value) {
  return literal(value, false);
}

}  // namespace korvane::db
