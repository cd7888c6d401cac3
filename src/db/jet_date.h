// Jet's Date/Time value: a double counting days since 1899-12-30, the time of
// day as the fraction (06:00 is .25). Before 1899-12-30 the whole part is
// negative and the fraction still counts forward from midnight, so
// 1899-12-29 06:00 is -1.25. Jet's dates run from 1 January 100 to
// 31 December 9999.
#pragma once

#include <optional>
#include <string_view>

namespace korvane::db {

inline constexpr double kFirstJetDate = -657434.0;   // 100-01-01
inline constexpr double kEndOfJetDates = 2958466.0;  // the day after 9999-12-31

// True when `value` is a Date/Time Jet can hold.
bool isJetDate(double value);

// The Jet double of a date and time.
double jetDateValue(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Reads a date, a time or both, as Jet reads a #date# literal or a text
// stored into a Date/Time field, in the program's US locale:
//   dates  2024-01-06, 2024/1/6 (year first); 1/6/2024, 1-6-2024, 1/6/24
//          (month first); Jan 6, 2024; January 6 2024; 6 Jan 2024;
//          6-Jan-2024; 7 January, 2024 (month names full or short)
//   times  10:30, 10:30:15, 10:30 AM, 10:30:15PM, 10 AM
//   both   a date, spaces, a time ("2024-01-06 10:30:15", "Jan 6, 2024 10:30")
// A time alone falls on 1899-12-30 (its value is the fraction). Two-digit
// years are 1930-2029. The whole text is read or nothing is: a date that
// does not exist (13/1/2024 day first, 2024-04-31), a year outside 100-9999,
// a part left over or missing (no year, a weekday, fractions of a second,
// "T" between date and time) gives nothing, never a default for that part.
std::optional<double> parseJetDate(std::string_view text);

}  // namespace korvane::db
