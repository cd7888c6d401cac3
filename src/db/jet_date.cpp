// Date literals of Jet SQL and their Jet double.
#include "db/jet_date.h"

#include <cctype>
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

// A cursor over the literal's text.
struct Reader {
  std::string_view text;
  size_t at = 0;

  void skipSpaces() {
    while (at < text.size() && text[at] == ' ') ++at;
  }
  std::optional<int> number() {
    size_t start = at;
    int value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && at - start < 5)
      value = value * 10 + (text[at++] - '0');
    if (at == start) return std::nullopt;
    return value;
  }
  bool accept(char c) {
    if (at < text.size() && text[at] == c) {
      ++at;
      return true;
    }
    return false;
  }
  bool acceptWord(std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
      if (std::toupper(static_cast<unsigned char>(text[at + i])) != word[i]) return false;
    at += word.size();
    return true;
  }
  bool done() const { return at == text.size(); }
};

struct Date {
  int year = 1899, month = 12, day = 30;
};

// date := yyyy-mm-dd | m/d/yy[yy]
std::optional<Date> readDate(Reader& r) {
  size_t start = r.at;
  auto first = r.number();
  if (!first) return std::nullopt;
  Date d;
  if (r.accept('-')) {
    auto m = r.number();
    if (!m || !r.accept('-')) return std::nullopt;
    auto day = r.number();
    if (!day) return std::nullopt;
    d = {*first, *m, *day};
  } else if (r.accept('/')) {
    auto day = r.number();
    if (!day || !r.accept('/')) return std::nullopt;
    size_t yearStart = r.at;
    auto y = r.number();
    if (!y) return std::nullopt;
    int year = *y;
    if (r.at - yearStart <= 2) year += year < 30 ? 2000 : 1900;
    d = {year, *first, *day};
  } else {
    r.at = start;  // not a date: perhaps a time
    return std::nullopt;
  }
  if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysInMonth(d.year, d.month) ||
      d.year < 100 || d.year > 9999)
    return std::nullopt;
  return d;
}

// time := h:nn[:ss] [AM|PM]; returns seconds since midnight.
std::optional<int> readTime(Reader& r) {
  auto h = r.number();
  if (!h || !r.accept(':')) return std::nullopt;
  auto n = r.number();
  if (!n) return std::nullopt;
  int s = 0;
  if (r.accept(':')) {
    auto sec = r.number();
    if (!sec) return std::nullopt;
    s = *sec;
  }
  int hour = *h;
  r.skipSpaces();
  if (r.acceptWord("AM")) {
    if (hour < 1 || hour > 12) return std::nullopt;
    hour %= 12;
  } else if (r.acceptWord("PM")) {
    if (hour < 1 || hour > 12) return std::nullopt;
    hour = hour % 12 + 12;
  }
  if (hour > 23 || *n > 59 || s > 59) return std::nullopt;
  return hour * 3600 + *n * 60 + s;
}

}  // namespace

double jetDateValue(int year, int month, int day, int hour, int minute, int second) {
  const long days = daysFromCivil(year, month, day) - daysFromCivil(1899, 12, 30);
  const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

std::optional<double> parseJetDate(std::string_view text) {
  Reader r{text};
  r.skipSpaces();
  auto date = readDate(r);
  r.skipSpaces();
  int seconds = 0;
  if (!r.done()) {
    auto t = readTime(r);
    if (!t) return std::nullopt;
    seconds = *t;
    r.skipSpaces();
  }
  if (!r.done() || (!date && seconds == 0 && text.find(':') == std::string_view::npos))
    return std::nullopt;
  Date d = date.value_or(Date{});
  return jetDateValue(d.year, d.month, d.day, seconds / 3600, seconds / 60 % 60, seconds % 60);
}

}  // namespace korvane::db
