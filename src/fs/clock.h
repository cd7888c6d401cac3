// Local time behind an interface, and the stamp of an Update run.
#pragma once

#include <string>

namespace korvane::fs {

struct LocalTime {
  int year = 0;    // e.g. 2026
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..60
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime now() const = 0;
};

// The machine's local time.
class SystemClock : public Clock {
 public:
  LocalTime now() const override;
};

// Always the time it was given; for tests.
class FixedClock : public Clock {
 public:
  explicit FixedClock(LocalTime t) : time_(t) {}
  LocalTime now() const override { return time_; }
  void set(LocalTime t) { time_ = t; }

 private:
  LocalTime time_;
};

// "YYmmdd_HHmm": 7 December 2026, 08:43 gives "261207_0843". The year is
// written as year % 100; seconds are dropped. Fails with 5 when a field is out
// of its range (so the stamp always has 11 characters).
std::string stampOf(const LocalTime& t);

}  // namespace korvane::fs
