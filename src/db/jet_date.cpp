// Jet's dates: the one reader of date and time texts, and their Jet double.
//
// The text is first cut into tokens (numbers, words, the separators - / , :
// and whether spaces came before each), then matched whole against the
// spellings listed in jet_date.h. Nothing is guessed: a spelling that does
// not match completely gives no date at all.
#include "db/jet_date.h"

#include <array>
#include <cctype>
#include <cstddef>
#include <string>
#include <vector>

namespace korvane::db {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's formula).
long daysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool isLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

struct Token {
  enum class Kind { kNumber, kWord, kSymbol } kind;
  std::string text;     // kWord: upper case; kSymbol: one of - / , :
  int value = 0;        // kNumber
  bool spaced = false;  // spaces came before it
};

constexpr size_t kMaxDigits = 5;

// Cuts `text` into tokens; nothing when it holds a character no date or
// time spelling uses, or a number too long to be one.
std::optional<std::vector<Token>> tokenize(std::string_view text) {
  std::vector<Token> tokens;
  bool spaced = false;
  size_t at = 0;
  while (at < text.size()) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c == ' ') {
      spaced = true;
      ++at;
      continue;
    }
    Token t{Token::Kind::kSymbol, "", 0, spaced};
    if (std::isdigit(c)) {
      t.kind = Token::Kind::kNumber;
      while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        if (t.text.size() == kMaxDigits) return std::nullopt;
        t.value = t.value * 10 + (text[at] - '0');
        t.text += text[at++];
      }
    } else if (std::isalpha(c)) {
      t.kind = Token::Kind::kWord;
      while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at])))
        t.text += static_cast<char>(std::toupper(static_cast<unsigned char>(text[at++])));
    } else if (c == '-' || c == '/' || c == ',' || c == ':') {
      t.text = std::string(1, static_cast<char>(c));
      ++at;
    } else {
      return std::nullopt;
    }
    tokens.push_back(std::move(t));
    spaced = false;
  }
  return tokens;
}

// The month a name stands for (January or Jan, any case), or 0.
int monthOfName(const std::string& word) {
  static constexpr std::array<std::string_view, 12> kNames = {
      "JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
      "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
  for (size_t i = 0; i < kNames.size(); ++i)
    if (word == kNames[i] || word == kNames[i].substr(0, 3)) return static_cast<int>(i) + 1;
  return 0;
}

struct Date {
  int year = 1899, month = 12, day = 30;
};

// A cursor over the tokens, matching one spelling at a time.
class Reader {
 public:
  explicit Reader(const std::vector<Token>& tokens) : tokens_(tokens) {}

  bool done() const { return at_ == tokens_.size(); }
  bool spacedHere() const { return !done() && tokens_[at_].spaced; }

  std::optional<Date> date() {
    const size_t start = at_;
    if (auto d = numericDate()) return d;
    at_ = start;
    if (auto d = monthFirstDate()) return d;
    at_ = start;
    if (auto d = dayFirstDate()) return d;
    at_ = start;
    return std::nullopt;
  }

  // Seconds since midnight.
  std::optional<int> time() {
    const size_t start = at_;
    auto hour = number(2);
    if (!hour) return std::nullopt;
    int minute = 0, second = 0;
    if (symbol(':')) {
      auto m = number(2);
      if (!m) return fail(start);
      minute = *m;
      if (symbol(':')) {
        auto s = number(2);
        if (!s) return fail(start);
        second = *s;
      }
      int h = *hour;
      if (auto half = meridiem()) {
        if (h < 1 || h > 12) return fail(start);
        h = h % 12 + (*half ? 12 : 0);
      }
      if (h > 23 || minute > 59 || second > 59) return fail(start);
      return h * 3600 + minute * 60 + second;
    }
    // "10 AM": an hour alone needs its half of the day.
    auto half = meridiem();
    if (!half || *hour < 1 || *hour > 12) return fail(start);
    return (*hour % 12 + (*half ? 12 : 0)) * 3600;
  }

 private:
  std::optional<int> fail(size_t start) {
    at_ = start;
    return std::nullopt;
  }

  const Token* peek() const { return done() ? nullptr : &tokens_[at_]; }

  std::optional<int> number(size_t maxDigits) {
    const Token* t = peek();
    if (!t || t->kind != Token::Kind::kNumber || t->text.size() > maxDigits) return std::nullopt;
    ++at_;
    return t->value;
  }

  bool symbol(char c) {
    const Token* t = peek();
    if (!t || t->kind != Token::Kind::kSymbol || t->text[0] != c) return false;
    ++at_;
    return true;
  }

  int monthName() {
    const Token* t = peek();
    if (!t || t->kind != Token::Kind::kWord) return 0;
    const int month = monthOfName(t->text);
    if (month) ++at_;
    return month;
  }

  // AM: false, PM: true.
  std::optional<bool> meridiem() {
    const Token* t = peek();
    if (!t || t->kind != Token::Kind::kWord || (t->text != "AM" && t->text != "PM"))
      return std::nullopt;
    ++at_;
    return t->text == "PM";
  }

  // A year as written: one or two digits are 1930-2029, three or four as they
  // stand.
  std::optional<int> year() {
    const Token* t = peek();
    auto y = number(4);
    if (!y) return std::nullopt;
    if (t->text.size() <= 2) return *y + (*y < 30 ? 2000 : 1900);
    return *y;
  }

  // Between the parts of a date with a month name: spaces, or one - or /,
  // and after the day or the month name perhaps a comma.
  bool nameDateSeparator(bool commaAllowed) {
    if (commaAllowed && symbol(',')) return true;
    if (symbol('-') || symbol('/')) return true;
    return spacedHere();
  }

  // yyyy-m-d, yyyy/m/d, m/d/y, m-d-y: the same separator twice.
  std::optional<Date> numericDate() {
    const Token* first = peek();
    if (!first || first->kind != Token::Kind::kNumber || first->text.size() > 4)
      return std::nullopt;
    ++at_;
    const Token* separator = peek();
    if (!separator || separator->kind != Token::Kind::kSymbol ||
        (separator->text != "-" && separator->text != "/"))
      return std::nullopt;
    const char sep = separator->text[0];
    ++at_;
    auto second = number(2);
    if (!second || !symbol(sep)) return std::nullopt;
    if (first->text.size() >= 3) {
      auto day = number(2);
      if (!day) return std::nullopt;
      return Date{first->value, *second, *day};
    }
    auto y = year();
    if (!y) return std::nullopt;
    return Date{*y, first->value, *second};
  }

  // Jan 6, 2024 / January 6 2024 / Jan-6-2024
  std::optional<Date> monthFirstDate() {
    const int month = monthName();
    if (!month || !nameDateSeparator(false)) return std::nullopt;
    auto day = number(2);
    if (!day || !nameDateSeparator(true)) return std::nullopt;
    auto y = year();
    if (!y) return std::nullopt;
    return Date{*y, month, *day};
  }

  // 6 Jan 2024 / 7 January, 2024 / 6-Jan-24
  std::optional<Date> dayFirstDate() {
    auto day = number(2);
    if (!day || !nameDateSeparator(false)) return std::nullopt;
    const int month = monthName();
    if (!month || !nameDateSeparator(true)) return std::nullopt;
    auto y = year();
    if (!y) return std::nullopt;
    return Date{*y, month, *day};
  }

  const std::vector<Token>& tokens_;
  size_t at_ = 0;
};

bool exists(const Date& d) {
  return d.year >= 100 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
         d.day <= daysInMonth(d.year, d.month);
}

}  // namespace

bool isJetDate(double value) {
  return value >= kFirstJetDate && value < kEndOfJetDates;
}

double jetDateValue(int year, int month, int day, int hour, int minute, int second) {
  const long days = daysFromCivil(year, month, day) - daysFromCivil(1899, 12, 30);
  const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

std::optional<double> parseJetDate(std::string_view text) {
  const auto tokens = tokenize(text);
  if (!tokens || tokens->empty()) return std::nullopt;
  Reader r(*tokens);
  const std::optional<Date> date = r.date();
  if (date && !exists(*date)) return std::nullopt;
  int seconds = 0;
  if (!r.done()) {
    // A time after a date stands apart from it.
    if (date && !r.spacedHere()) return std::nullopt;
    auto t = r.time();
    if (!t || !r.done()) return std::nullopt;
    seconds = *t;
  } else if (!date) {
    return std::nullopt;
  }
  const Date d = date.value_or(Date{});
  return jetDateValue(d.year, d.month, d.day, seconds / 3600, seconds / 60 % 60, seconds % 60);
}

}  // namespace korvane::db
