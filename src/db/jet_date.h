// Jet's Date/Time value: a double counting days since 1899-12-30, the time of
// day as the fraction (06:00 is .25). Before 1899-12-30 the whole part is
// negative and the fraction still counts forward from midnight, so
// 1899-12-29 06:00 is -1.25.
#pragma once

#include <optional>
#include <string_view>

namespace korvane::db {

// The Jet double of a date and time.
double jetDateValue(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Reads the text of a #date# literal (or a text converted to a date):
// "2019-03-05", "2019-03-05 14:30:15", "3/5/2019" (month first, as Jet SQL
// reads it), "3/5/19", "14:30", "2:30 PM", "3/5/2019 2:30:00 PM".
// Returns nothing when the text is no valid date or time.
std::optional<double> parseJetDate(std::string_view text);

}  // namespace korvane::db
