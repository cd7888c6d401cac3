// Jet's Date/Time value: a double counting days since 1899-12-30, the time of
// day as the fraction (06:00 is .25). Before 1899-12-30 the whole part is
// negative and the fraction still counts forward from midnight, so
// 1899-12-29 06:00 is -1.25. Jet's dates run from 1 January 100 to
// 31 December 9999. Dates are read from text and written as text as OLE
// Automation reads and writes them under English (United States) settings.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::db {

inline constexpr double kFirstJetDate = -657434.0;   // 100-01-01
inline constexpr double kEndOfJetDates = 2958466.0;  // the day after 9999-12-31

// True when `value` is a Date/Time Jet can hold.
bool isJetDate(double value);

// The Jet double of a date and time.
double jetDateValue(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Reads a date, a time or both, as Jet reads a #date# literal or a text
// stored into a Date/Time field:
//   parts    numbers, month names (January or Jan, any case), AM/PM or A/P;
//            white space, '/', '-' and ',' separate the parts of a date,
//            ':' and '.' those of a time ("10:30", "10.30.15")
//   dates    three numbers are taken month first (1/6/2024), else year
//            first (2024-01-06, 14 2 3 is 2014-02-03), else day first
//            (21/11/2023): the first order that gives a real day; with a
//            month name the other numbers are the day, then the year
//            (6 Jan 2024, Jan 6, 2024); a month and a number that cannot
//            be its day are that month's first day (January 2024, 2/30)
//   times    hours 0-23, minutes and seconds 0-59; AM/PM applies to hours
//            up to 12 (12 AM is 0:00, 0:00 PM is 12:00) and is ignored
//            past 12; a lone hour needs AM/PM ("10 PM")
//   both     a time before or after the date, never inside it
// One or two year digits are 1950-2049, three or four as they stand. A time
// alone falls on 1899-12-30 (its value is the fraction). Nothing is read
// (the whole text or nothing) for a date that does not exist (2100-02-29),
// a year outside 100-9999, a word of no date (a weekday, "T"), fractions of
// a second, a lone number, or a day and month without a year, which OLE
// would place in the current year.
std::optional<double> parseJetDate(std::string_view text);

// `value` as OLE writes a date in text (its General Date): "3/1/2024
// 10:00:00 AM", the date alone at midnight ("3/1/2024"), the time alone on
// 1899-12-30 ("10:00:00 AM"). Nothing when `value` is no Jet date.
std::optional<std::string> jetDateText(double value);

// The length in bytes of the white space character `text` starts with (as
// OLE skips it: ASCII white space, no-break and ideographic spaces), or 0.
std::size_t whiteSpaceLength(std::string_view text);

}  // namespace korvane::db
