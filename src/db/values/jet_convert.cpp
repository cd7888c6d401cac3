// Jet's conversion of a value into a field's type, in C++ and as the SQL
// functions the generated statements call; the reader of number text and
// the writers of numbers in text.
#include "db/values/jet_convert.h"

#include <sqlite3.h>

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "db/values/jet_date.h"
#include "text/case_fold.h"

namespace korvane::db {

namespace {

// The length in bytes of the white space character `text` ends with, or 0.
size_t trailingSpaceLength(std::string_view text) {
  for (size_t n = 1; n <= 3 && n <= text.size(); ++n)
    if (whiteSpaceLength(text.substr(text.size() - n)) == n) return n;
  return 0;
}

std::string_view trimmed(std::string_view text) {
  while (const size_t n = whiteSpaceLength(text)) text.remove_prefix(n);
  while (const size_t n = trailingSpaceLength(text)) text.remove_suffix(n);
  return text;
}

bool sameWord(std::string_view text, std::string_view word) {
  return text::compareIgnoringCase(text, word) == 0;
}

bool isWholeNumberType(JetType to) {
  return to == JetType::kByte || to == JetType::kInteger || to == JetType::kLong ||
         to == JetType::kCounter;
}

// The bits of a whole-number field: &H and &O numbers fill them.
int widthOf(JetType to) {
  return to == JetType::kByte ? 8 : to == JetType::kInteger ? 16 : 32;
}

struct Range {
  double low, high;
};

Range wholeNumberRange(JetType to) {
  switch (to) {
    case JetType::kByte:
      return {0, 255};
    case JetType::kInteger:
      return {-32768, 32767};
    default:
      return {-2147483648.0, 2147483647.0};
  }
}

constexpr double kFloatMax = std::numeric_limits<float>::max();
constexpr double kDoubleMax = std::numeric_limits<double>::max();
// Currency is a count of ten-thousandths in 64 bits.
constexpr double kCurrencyUnits = 10000.0;
constexpr double kTwoTo63 = 9223372036854775808.0;

// OLE rounds half to even, whether to whole numbers or to Currency's and a
// Decimal's places; nearbyint does under the default rounding mode.
double roundHalfEven(double value) {
  return std::nearbyint(value);
}

SqlValue wholeNumber(double value, JetType to) {
  const double whole = roundHalfEven(value);
  const Range range = wholeNumberRange(to);
  if (!(whole >= range.low && whole <= range.high)) return {};
  return static_cast<std::int64_t>(whole);
}

// A Single holds the float nearest the value.
SqlValue single(const SqlValue& number, double value) {
  if (!(value >= -kFloatMax && value <= kFloatMax)) return {};
  const double stored = static_cast<float>(value);
  if (std::holds_alternative<std::int64_t>(number) && stored == value) return number;
  return stored;
}

// Currency holds whole ten-thousandths.
SqlValue currency(const SqlValue& number, double value) {
  const double units = roundHalfEven(value * kCurrencyUnits);
  if (!(units >= -kTwoTo63 && units < kTwoTo63)) return {};
  if (std::holds_alternative<std::int64_t>(number)) return number;
  return units / kCurrencyUnits;
}

// A Decimal(p,s) holds `scale` places and `precision` digits in all.
SqlValue decimal(const SqlValue& number, double value, int precision, int scale) {
  if (precision <= 0) return std::isfinite(value) ? number : SqlValue{};
  const double unit = std::pow(10.0, scale);
  const double scaled = roundHalfEven(value * unit);
  if (!(std::fabs(scaled) < std::pow(10.0, precision))) return {};
  if (std::holds_alternative<std::int64_t>(number)) return number;
  if (scale == 0 && std::fabs(scaled) < kTwoTo63) return static_cast<std::int64_t>(scaled);
  return scaled / unit;
}

// A number (integer or real) into a number field.
SqlValue numberIntoField(const SqlValue& number, double value, const FieldType& to) {
  switch (to.type) {
    case JetType::kByte:
    case JetType::kInteger:
    case JetType::kLong:
    case JetType::kCounter:
      return wholeNumber(value, to.type);
    case JetType::kDateTime:
      return isJetDate(value) ? number : SqlValue{};
    case JetType::kYesNo:
      return std::int64_t{value != 0 ? -1 : 0};
    case JetType::kSingle:
      return single(number, value);
    case JetType::kCurrency:
      return currency(number, value);
    case JetType::kDecimal:
      return decimal(number, value, to.precision, to.scale);
    default:
      return value >= -kDoubleMax && value <= kDoubleMax ? number : SqlValue{};
  }
}

SqlValue textIntoField(const std::string& text, const FieldType& to) {
  if (to.type == JetType::kDateTime) {
    if (auto date = parseJetDate(text)) return *date;
    return {};
  }
  if (to.type == JetType::kYesNo) {
    const std::string_view word = trimmed(text);
    if (sameWord(word, "TRUE") || word == "#TRUE#") return std::int64_t{-1};
    if (sameWord(word, "FALSE") || word == "#FALSE#") return std::int64_t{0};
  }
  const auto number = parseJetNumber(text, to.type);
  if (!number) return {};
  return numberIntoField(*number, *number, to);
}

// A number, coming from a field of type `from`, as text.
SqlValue numberAsText(const SqlValue& number, double value, JetType from) {
  if (!std::isfinite(value)) return {};
  if (from == JetType::kYesNo) return std::string(value != 0 ? "-1" : "0");
  if (const auto* whole = std::get_if<std::int64_t>(&number);
      whole && from != JetType::kDateTime && from != JetType::kSingle)
    return std::to_string(*whole);
  switch (from) {
    case JetType::kDateTime:
      // A number no date can be is written as the number it is.
      return jetDateText(value).value_or(jetNumberText(value));
    case JetType::kSingle:
      return jetSingleText(value);
    case JetType::kCurrency:
      return jetCurrencyText(value);
    default:
      return jetNumberText(value);
  }
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

// Fields that keep a real as it is, when within their range.
constexpr bool keepsReals(JetType to) {
  return to == JetType::kDouble || to == JetType::kDecimal || to == JetType::kDateTime;
}

bool realFits(double value, JetType to) {
  if (to == JetType::kDateTime) return isJetDate(value);
  return value >= -kDoubleMax && value <= kDoubleMax;
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
      if constexpr (kTo == JetType::kText) return sqlite3_result_value(ctx, v);
      break;
    default:
      break;
  }
  setResult(ctx, convertForField(valueOf(v), kTo));
}

// jet_to_decimal(v, precision, scale).
void convertIntoDecimal(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const FieldType to(JetType::kDecimal, sqlite3_value_int(argv[1]), sqlite3_value_int(argv[2]));
  setResult(ctx, convertForField(valueOf(argv[0]), to));
}

// jet_<type>_to_text(v): a value of a Date/Time, Yes/No, Single or Currency
// field written into a Text field.
template <JetType kFrom>
void convertIntoText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) return sqlite3_result_value(ctx, argv[0]);
  setResult(ctx, convertForField(valueOf(argv[0]), JetType::kText, kFrom));
}

struct Conversion {
  std::string_view function;
  JetType to;
  JetType from;  // the field the value comes from; kUnknown: any value
  int arguments;
  void (*call)(sqlite3_context*, int, sqlite3_value**);
};

constexpr JetType kAny = JetType::kUnknown;

constexpr std::array<Conversion, 15> kConversions = {{
    {"jet_to_text", JetType::kText, kAny, 1, convertInto<JetType::kText>},
    {"jet_to_byte", JetType::kByte, kAny, 1, convertInto<JetType::kByte>},
    {"jet_to_integer", JetType::kInteger, kAny, 1, convertInto<JetType::kInteger>},
    {"jet_to_long", JetType::kLong, kAny, 1, convertInto<JetType::kLong>},
    {"jet_to_single", JetType::kSingle, kAny, 1, convertInto<JetType::kSingle>},
    {"jet_to_double", JetType::kDouble, kAny, 1, convertInto<JetType::kDouble>},
    {"jet_to_currency", JetType::kCurrency, kAny, 1, convertInto<JetType::kCurrency>},
    {"jet_to_decimal", JetType::kDecimal, kAny, 1, convertInto<JetType::kDecimal>},
    {"jet_to_decimal", JetType::kDecimal, kAny, 3, convertIntoDecimal},
    {"jet_to_date", JetType::kDateTime, kAny, 1, convertInto<JetType::kDateTime>},
    {"jet_to_yesno", JetType::kYesNo, kAny, 1, convertInto<JetType::kYesNo>},
    {"jet_date_to_text", JetType::kText, JetType::kDateTime, 1,
     convertIntoText<JetType::kDateTime>},
    {"jet_yesno_to_text", JetType::kText, JetType::kYesNo, 1, convertIntoText<JetType::kYesNo>},
    {"jet_single_to_text", JetType::kText, JetType::kSingle, 1, convertIntoText<JetType::kSingle>},
    {"jet_currency_to_text", JetType::kText, JetType::kCurrency, 1,
     convertIntoText<JetType::kCurrency>},
}};

// The one-argument function for a field of type `to`, for a value of a
// field of type `from`; "" for a field that takes every value as it is.
std::string_view functionFor(JetType to, JetType from) {
  if (to == JetType::kMemo) to = JetType::kText;
  if (to == JetType::kCounter) to = JetType::kLong;
  if (to != JetType::kText) from = kAny;
  for (const auto& c : kConversions)
    if (c.to == to && c.from == from && c.arguments == 1) return c.function;
  return from == kAny ? "" : functionFor(to, kAny);
}

// The number texts OLE reads: see parseJetNumber. Signs, parentheses and
// the currency sign stand around the number, each at most once.
class NumberReader {
 public:
  explicit NumberReader(std::string_view text) : text_(text) {}

  std::optional<double> read(JetType to) {
    readAffixes(true);
    std::optional<double> value;
    if (isWholeNumberType(to) && (startsWith("&H") || startsWith("&O")))
      value = radixNumber(to);
    else
      value = decimalNumber();
    readAffixes(false);
    if (!value || at_ != text_.size() || open_ != closed_ || (open_ && signed_))
      return std::nullopt;
    return negative_ || open_ ? -*value : *value;
  }

 private:
  bool digitHere(int base = 10) const {
    if (at_ >= text_.size()) return false;
    const auto c = static_cast<unsigned char>(text_[at_]);
    if (base == 16) return std::isxdigit(c);
    return c >= '0' && c < '0' + base;
  }
  bool take(char c) {
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool startsWith(std::string_view prefix) const {
    return sameWord(text_.substr(at_, prefix.size()), prefix);
  }

  void readAffixes(bool leading) {
    for (;;) {
      while (const size_t n = whiteSpaceLength(text_.substr(at_))) at_ += n;
      if (!signed_ && (take('+') || take('-'))) {
        signed_ = true;
        negative_ = text_[at_ - 1] == '-';
      } else if (leading && !open_ && take('(')) {
        open_ = true;
      } else if (leading && !currency_ && take('$')) {
        currency_ = true;
      } else if (!leading && open_ && !closed_ && take(')')) {
        closed_ = true;
      } else {
        return;
      }
    }
  }

  // Digits, ',' between those of the whole part, a decimal point, an
  // exponent; read by from_chars, so the C locale plays no part.
  std::optional<double> decimalNumber() {
    std::string number;
    size_t digits = 0;
    auto digit = [&] {
      number += text_[at_++];
      ++digits;
    };
    for (;;) {
      if (digitHere())
        digit();
      else if (digits == 0 || !take(','))
        break;
    }
    if (take('.')) {
      number += '.';
      while (digitHere()) digit();
    }
    if (digits == 0) return std::nullopt;
    if (take('e') || take('E')) {
      number += 'e';
      if (take('+') || take('-')) number += text_[at_ - 1];
      if (!digitHere()) return std::nullopt;
      for (; digitHere(); ++at_) number += text_[at_];
    }
    double value = 0;
    const char* end = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
  }

  // &H or &O digits, two's complement in the field's width.
  std::optional<double> radixNumber(JetType to) {
    const int base = sameWord(text_.substr(at_ + 1, 1), "H") ? 16 : 8;
    at_ += 2;
    if (!digitHere(base)) return std::nullopt;
    const int width = widthOf(to);
    std::uint64_t value = 0;
    for (; digitHere(base); ++at_) {
      const auto c = static_cast<unsigned char>(text_[at_]);
      value = value * base +
              (std::isdigit(c) ? c - '0' : static_cast<int>(text::foldCase(c)) - 'a' + 10);
      if (value >> width) return std::nullopt;
    }
    if (to != JetType::kByte && value >> (width - 1))
      return static_cast<double>(value) - std::ldexp(1.0, width);
    return static_cast<double>(value);
  }

  std::string_view text_;
  size_t at_ = 0;
  bool signed_ = false, negative_ = false, open_ = false, closed_ = false, currency_ = false;
};

// `value` in at most `significant` digits, fixed while it needs no more
// than that many decimal places and is below 10^significant.
std::string numberText(double value, int significant) {
  if (value == 0) return "0";  // also -0
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::scientific, significant - 1);
  const std::string_view scientific(buffer, result.ptr);
  const size_t e = scientific.find('e');
  std::string digits;
  for (char c : scientific.substr(0, e))
    if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = 0;
  const std::string_view exponentText = scientific.substr(e + 2);
  std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
  if (scientific[e + 1] == '-') exponent = -exponent;

  std::string text = value < 0 ? "-" : "";
  const int decimals = static_cast<int>(digits.size()) - 1 - exponent;
  if (exponent >= significant || decimals > significant) {
    text += digits.substr(0, 1);
    if (digits.size() > 1) text += "." + digits.substr(1);
    const std::string power = std::to_string(std::abs(exponent));
    return text + (exponent < 0 ? "E-" : "E+") + (power.size() < 2 ? "0" : "") + power;
  }
  if (exponent < 0) return text + "0." + std::string(-exponent - 1, '0') + digits;
  const auto whole = static_cast<size_t>(exponent) + 1;
  if (digits.size() <= whole) return text + digits + std::string(whole - digits.size(), '0');
  return text + digits.substr(0, whole) + "." + digits.substr(whole);
}

}  // namespace

SqlValue convertForField(const SqlValue& value, const FieldType& to, JetType from) {
  if (takesAnyValue(to.type) || std::holds_alternative<std::monostate>(value)) return value;
  if (std::holds_alternative<Blob>(value)) return {};
  if (const auto* text = std::get_if<std::string>(&value))
    return isTextType(to.type) ? value : textIntoField(*text, to);
  const double number = std::holds_alternative<double>(value)
                            ? std::get<double>(value)
                            : static_cast<double>(std::get<std::int64_t>(value));
  if (isTextType(to.type)) return numberAsText(value, number, from);
  return numberIntoField(value, number, to);
}

std::string conversionSql(const std::string& valueSql, const FieldType& to, JetType from) {
  if (to.type == JetType::kDecimal && to.precision > 0)
    return "jet_to_decimal(" + valueSql + ", " + std::to_string(to.precision) + ", " +
           std::to_string(to.scale) + ")";
  const std::string_view function = functionFor(to.type, from);
  if (function.empty()) return valueSql;
  return std::string(function) + "(" + valueSql + ")";
}

int registerJetConversions(sqlite3* db) {
  for (const auto& c : kConversions) {
    const std::string name(c.function);
    const int rc = sqlite3_create_function(db, name.c_str(), c.arguments,
                                           SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                           nullptr, c.call, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

std::optional<double> parseJetNumber(std::string_view text, JetType to) {
  return NumberReader(text).read(to);
}

std::string jetNumberText(double value) {
  return numberText(value, 15);
}

std::string jetSingleText(double value) {
  return numberText(value, 7);
}

std::string jetCurrencyText(double value) {
  const double units = roundHalfEven(value * kCurrencyUnits);
  if (!(units > -kTwoTo63 && units < kTwoTo63)) return jetNumberText(value);
  const auto count = static_cast<std::int64_t>(units);
  const std::uint64_t magnitude = count < 0 ? 0 - static_cast<std::uint64_t>(count) : count;
  std::string fraction = std::to_string(magnitude % 10000);
  fraction = std::string(4 - fraction.size(), '0') + fraction;
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return (count < 0 ? "-" : "") + std::to_string(magnitude / 10000) +
         (fraction.empty() ? "" : "." + fraction);
}

std::string sqlNumber(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace korvane::db
