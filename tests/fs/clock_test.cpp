// The stamp of an Update run, the clocks, and the texts of file failures.
#include <gtest/gtest.h>

#include "fs/clock.h"
#include "fs/failure.h"
#include "support/failure_of.h"
#include "support/files.h"
#include "support/temp_prefix.h"

namespace korvane::fs {
namespace {

using support::failureOf;

TEST(StampTest, WritesTwoDigitFieldsAndDropsSeconds) {
  struct Case {
    LocalTime time;
    const char* stamp;
  };
  const Case cases[] = {
      {{2026, 12, 7, 8, 43, 59}, "261207_0843"},
      {{2026, 12, 7, 0, 0, 0}, "261207_0000"},      // midnight
      {{2026, 12, 31, 23, 59, 60}, "261231_2359"},  // last minute of the year
      {{2027, 1, 1, 0, 0, 0}, "270101_0000"},       // 1 January
      {{2000, 2, 29, 12, 5, 0}, "000229_1205"},
      {{1999, 10, 9, 9, 9, 9}, "991009_0909"},
      {{2107, 3, 4, 5, 6, 7}, "070304_0506"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stampOf(c.time), c.stamp) << c.stamp;
  }
}

TEST(StampTest, FieldOutOfRangeFailsWithInvalidArgument) {
  const LocalTime bad[] = {
      {2026, 13, 1, 0, 0, 0}, {2026, 0, 1, 0, 0, 0},  {2026, 1, 32, 0, 0, 0},
      {2026, 1, 1, 24, 0, 0}, {2026, 1, 1, 0, 60, 0}, {-1, 1, 1, 0, 0, 0},
  };
  for (const LocalTime& t : bad) {
    EXPECT_EQ(failureOf([&] { stampOf(t); }).number, fserr::kInvalidArgument);
  }
}

TEST(ClockTest, FixedClockGivesItsTimeAndSystemClockALocalTime) {
  FixedClock fixed({2026, 12, 7, 8, 43, 0});
  EXPECT_EQ(stampOf(fixed.now()), "261207_0843");
  fixed.set({2027, 1, 1, 0, 0, 0});
  EXPECT_EQ(stampOf(fixed.now()), "270101_0000");

  const LocalTime now = SystemClock().now();
  EXPECT_GE(now.year, 2024);
  EXPECT_EQ(stampOf(now).size(), 11u);
}

TEST(FailureTest, TextsNameTheNumberAndThePath) {
  struct Case {
    int number;
    const char* text;
  };
  const Case cases[] = {
      {fserr::kInvalidArgument, "Invalid procedure call or argument: C:\\x.mdb"},
      {fserr::kFileNotFound, "File not found: C:\\x.mdb"},
      {fserr::kFileAlreadyExists, "File already exists: C:\\x.mdb"},
      {fserr::kDiskFull, "Disk full: C:\\x.mdb"},
      {fserr::kPermissionDenied, "Permission denied: C:\\x.mdb"},
      {fserr::kPathFileAccessError, "Path/File access error: C:\\x.mdb"},
      {fserr::kPathNotFound, "Path not found: C:\\x.mdb"},
      {9999, "File error 9999: C:\\x.mdb"},
  };
  for (const Case& c : cases) {
    try {
      raiseFileFailure(c.number, "C:\\x.mdb");
      ADD_FAILURE() << "no failure for " << c.number;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number(), c.number);
      EXPECT_EQ(failure.text(), c.text);
    }
  }
}

}  // namespace
}  // namespace korvane::fs
