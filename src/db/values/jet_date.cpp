// Jet's dates: the one reader of date and time texts, the one writer of
// them, and their Jet double.
//
// The reader cuts the text into tokens (numbers, month names, AM/PM, date
// and time separators), joins the numbers linked by time separators into
// the time, and takes the other numbers and a month name as the date, in
// the orders OLE tries. A token with no place in that makes the text no
// date at all: nothing is guessed and nothing is read in part.
#include "db/values/jet_date.h"

#include <array>
#include <cctype>
#include <cmath>
#include <vector>

#include "text/case_fold.h"

namespace korvane::db {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date, and back (Howard
// Hinnant's formulas).
long daysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct Date {
  int year = 1899, month = 12, day = 30;
};

Date civilFromDays(long z) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {static_cast<int>(yoe + era * 400 + (month <= 2)), month, day};
}

const long kDayZero = daysFromCivil(1899, 12, 30);

bool isLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr std::array<int, 12> kMonthDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int daysInMonth(int y, int m) {
  return m == 2 && !isLeap(y) ? 28 : kMonthDays[m - 1];
}

bool exists(const Date& d) {
  return d.year >= 100 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
         d.day <= daysInMonth(d.year, d.month);
}

// Could `day` be a day of `month` in some year (29 February included)?
bool dayOfMonth(long month, long day) {
  return month >= 1 && month <= 12 && day >= 1 && day <= kMonthDays[month - 1];
}

// Two-digit years as current Windows reads them: up to 49 this century.
constexpr int kTwoDigitYearMax = 2049;

struct Token {
  enum class Kind { kNumber, kMonth, kMeridiem, kDateSeparator, kTimeSeparator } kind;
  long value = 0;  // a number; a month 1-12; a meridiem 0 (AM) or 12 (PM)
  int digits = 0;  // of a number as written
};

constexpr int kMaxDigits = 9;

// The month a name stands for (January or Jan, any case), 0 for none.
int monthOfName(std::string_view word) {
  static constexpr std::array<std::string_view, 12> kNames = {
      "january", "february", "march",     "april",   "may",      "june",
      "july",    "august",   "september", "october", "november", "december"};
  for (size_t i = 0; i < kNames.size(); ++i)
    if (text::compareIgnoringCase(word, kNames[i]) == 0 ||
        text::compareIgnoringCase(word, kNames[i].substr(0, 3)) == 0)
      return static_cast<int>(i) + 1;
  return 0;
}

std::optional<Token> wordToken(std::string_view word) {
  const auto is = [word](std::string_view name) {
    return text::compareIgnoringCase(word, name) == 0;
  };
  if (is("am") || is("a")) return Token{Token::Kind::kMeridiem, 0};
  if (is("pm") || is("p")) return Token{Token::Kind::kMeridiem, 12};
  if (const int month = monthOfName(word)) return Token{Token::Kind::kMonth, month};
  return std::nullopt;
}

// Cuts `text` into tokens, white space only parting them; nothing when it
// holds a character or a word no date or time uses.
std::optional<std::vector<Token>> tokenize(std::string_view text) {
  std::vector<Token> tokens;
  size_t at = 0;
  while (at < text.size()) {
    if (const size_t space = whiteSpaceLength(text.substr(at))) {
      at += space;
      continue;
    }
    const auto c = static_cast<unsigned char>(text[at]);
    if (std::isdigit(c)) {
      Token t{Token::Kind::kNumber};
      for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        if (++t.digits > kMaxDigits) return std::nullopt;
        t.value = t.value * 10 + (text[at] - '0');
      }
      tokens.push_back(t);
    } else if (std::isalpha(c)) {
      const size_t start = at;
      while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at]))) ++at;
      auto t = wordToken(text.substr(start, at - start));
      if (!t) return std::nullopt;
      tokens.push_back(*t);
    } else if (c == '/' || c == '-' || c == ',') {
      tokens.push_back({Token::Kind::kDateSeparator});
      ++at;
    } else if (c == ':' || c == '.') {
      tokens.push_back({Token::Kind::kTimeSeparator});
      ++at;
    } else {
      return std::nullopt;
    }
  }
  return tokens;
}

struct Time {
  std::vector<long> parts;  // hour, minute, second as written
  std::optional<long> meridiem;
};

// The date's numbers and month name, and the time, as the text gives them.
struct Parts {
  std::vector<Token> date;  // numbers (with their digits) and a month
  std::optional<Time> time;
  bool timeInside = false;  // date parts both before and after the time
};

// Sorts the tokens into the date's parts and the time; nothing when a
// separator or AM/PM stands where none can.
std::optional<Parts> partsOf(const std::vector<Token>& tokens) {
  using Kind = Token::Kind;
  Parts parts;
  bool separated = true;  // no part yet, or a date separator just read
  bool dateBeforeTime = false;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    auto kindAt = [&](size_t j) {
      return j < tokens.size() ? tokens[j].kind : Kind::kDateSeparator;
    };
    if (t.kind == Kind::kDateSeparator) {
      if (separated) return std::nullopt;
      separated = true;
      continue;
    }
    separated = false;
    const bool timeFollows =
        kindAt(i + 1) == Kind::kTimeSeparator || kindAt(i + 1) == Kind::kMeridiem;
    if (t.kind == Kind::kNumber && timeFollows) {
      if (parts.time) return std::nullopt;
      Time time{{t.value}, std::nullopt};
      while (kindAt(i + 1) == Kind::kTimeSeparator) {
        if (kindAt(i + 2) != Kind::kNumber) return std::nullopt;
        time.parts.push_back(tokens[i + 2].value);
        i += 2;
      }
      if (kindAt(i + 1) == Kind::kMeridiem) time.meridiem = tokens[++i].value;
      parts.time = time;
      dateBeforeTime = !parts.date.empty();
    } else if (t.kind == Kind::kNumber || t.kind == Kind::kMonth) {
      if (parts.time && dateBeforeTime) parts.timeInside = true;
      parts.date.push_back(t);
    } else {
      return std::nullopt;  // a time separator or AM/PM with no time
    }
  }
  if (separated && !tokens.empty()) return std::nullopt;  // a trailing separator
  return parts;
}

// Seconds since midnight.
std::optional<long> secondsOf(const Time& time) {
  if (time.parts.size() > 3 || (time.parts.size() == 1 && !time.meridiem)) return std::nullopt;
  long hour = time.parts[0];
  if (time.meridiem && hour <= 12) hour = hour % 12 + *time.meridiem;
  const long minute = time.parts.size() > 1 ? time.parts[1] : 0;
  const long second = time.parts.size() > 2 ? time.parts[2] : 0;
  if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  return hour * 3600 + minute * 60 + second;
}

int yearOf(const Token& number) {
  const auto n = static_cast<int>(number.value);
  if (number.digits > 2) return n;
  return n <= kTwoDigitYearMax % 100 ? kTwoDigitYearMax / 100 * 100 + n
                                     : kTwoDigitYearMax / 100 * 100 - 100 + n;
}

std::optional<Date> firstThatExists(std::initializer_list<Date> candidates) {
  for (const Date& d : candidates)
    if (exists(d)) return d;
  return std::nullopt;
}

// A month name with the other numbers: the day, then the year; a number
// that cannot be the day is the year of the month's first day.
std::optional<Date> dateWithMonthName(int month, const std::vector<Token>& numbers) {
  if (numbers.size() == 2) {
    const Token &a = numbers[0], &b = numbers[1];
    return firstThatExists({{yearOf(b), month, static_cast<int>(a.value)},
                            {yearOf(a), month, static_cast<int>(b.value)}});
  }
  if (numbers.size() == 1 && !dayOfMonth(month, numbers[0].value))
    return firstThatExists({{yearOf(numbers[0]), month, 1}});
  return std::nullopt;  // no year, or no day and month
}

// Numbers only: three in the first order that gives a real day; two only
// as a month and its year (a day and month would take the current year).
std::optional<Date> dateOfNumbers(const std::vector<Token>& n) {
  auto v = [&](size_t i) { return static_cast<int>(n[i].value); };
  if (n.size() == 3) {
    return firstThatExists({{yearOf(n[2]), v(0), v(1)},    // month first
                            {yearOf(n[0]), v(1), v(2)},    // year first
                            {yearOf(n[2]), v(1), v(0)}});  // day first
  }
  if (n.size() != 2 || dayOfMonth(v(0), v(1)) || dayOfMonth(v(1), v(0))) return std::nullopt;
  if (v(0) >= 1 && v(0) <= 12) return firstThatExists({{yearOf(n[1]), v(0), 1}});
  if (v(1) >= 1 && v(1) <= 12) return firstThatExists({{yearOf(n[0]), v(1), 1}});
  return std::nullopt;
}

std::optional<Date> dateOf(const std::vector<Token>& parts) {
  std::vector<Token> numbers;
  int month = 0;
  for (const Token& t : parts) {
    if (t.kind == Token::Kind::kNumber) {
      numbers.push_back(t);
    } else if (month) {
      return std::nullopt;  // two month names
    } else {
      month = static_cast<int>(t.value);
    }
  }
  return month ? dateWithMonthName(month, numbers) : dateOfNumbers(numbers);
}

}  // namespace

bool isJetDate(double value) {
  return value >= kFirstJetDate && value < kEndOfJetDates;
}

double jetDateValue(int year, int month, int day, int hour, int minute, int second) {
  const long days = daysFromCivil(year, month, day) - kDayZero;
  const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

std::optional<double> parseJetDate(std::string_view text) {
  const auto tokens = tokenize(text);
  if (!tokens) return std::nullopt;
  const auto parts = partsOf(*tokens);
  if (!parts || parts->timeInside) return std::nullopt;
  long seconds = 0;
  if (parts->time) {
    const auto s = secondsOf(*parts->time);
    if (!s) return std::nullopt;
    seconds = *s;
  }
  Date date;
  if (!parts->date.empty()) {
    const auto d = dateOf(parts->date);
    if (!d) return std::nullopt;
    date = *d;
  } else if (!parts->time) {
    return std::nullopt;
  }
  return jetDateValue(date.year, date.month, date.day, static_cast<int>(seconds / 3600),
                      static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
}

std::optional<std::string> jetDateText(double value) {
  if (!isJetDate(value)) return std::nullopt;
  long days = static_cast<long>(value);  // toward 1899-12-30: the fraction counts forward
  long seconds = std::lround(std::fabs(value - static_cast<double>(days)) * 86400.0);
  if (seconds == 86400) {
    seconds = 0;
    ++days;
  }
  std::string text;
  if (days != 0) {
    const Date d = civilFromDays(days + kDayZero);
    text = std::to_string(d.month) + "/" + std::to_string(d.day) + "/" + std::to_string(d.year);
    if (seconds == 0) return text;
    text += ' ';
  }
  const long hour = seconds / 3600;
  const long minute = seconds / 60 % 60, second = seconds % 60;
  auto twoDigits = [](long n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
  text += std::to_string(hour % 12 == 0 ? 12 : hour % 12) + ":" + twoDigits(minute) + ":" +
          twoDigits(second) + (hour < 12 ? " AM" : " PM");
  return text;
}

std::size_t whiteSpaceLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto c = static_cast<unsigned char>(text[0]);
  if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
  if (text.substr(0, 2) == "\xC2\xA0") return 2;      // no-break space
  if (text.substr(0, 3) == "\xE3\x80\x80") return 3;  // ideographic space
  return 0;
}

}  // namespace korvane::db
