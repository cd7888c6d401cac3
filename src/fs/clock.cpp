// The machine's local time and the stamp of an Update run.
#include "fs/clock.h"

#include <time.h>

#include <cstdio>

#include "fs/failure.h"

namespace korvane::fs {

LocalTime SystemClock::now() const {
  const time_t seconds = time(nullptr);
  struct tm local {};
  localtime_r(&seconds, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string stampOf(const LocalTime& t) {
  const bool valid = t.year >= 0 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
                     t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59;
  if (!valid) {
    throw Failure(fserr::kInvalidArgument,
                  fileFailureTitle(fserr::kInvalidArgument) + ": no such local time");
  }
  char text[16];
  std::snprintf(text, sizeof text, "%02d%02d%02d_%02d%02d", t.year % 100, t.month, t.day, t.hour,
                t.minute);
  return text;
}

}  // namespace korvane::fs
