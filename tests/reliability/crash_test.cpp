// The crash test: a child program runs Update then Close on a copy of a
// prefix and is killed with SIGKILL at a random moment. After each kill the
// system database must open, pass SQLite's integrity check and hold either
// the old data byte for byte or the whole new data; a backup, if there is
// one, must be the old database; and a new run must finish the job.
//
// KORVANE_CRASH_TRIALS (default 12) and KORVANE_CRASH_SEED (default 1) set
// the run; scripts/crash-test.sh runs it long.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench.h"
#include "lab.h"
#include "support/files.h"
#include "support/sqlite_file.h"
#include "support/temp_prefix.h"

namespace korvane::reliability {
namespace {

namespace stdfs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The rows of `query` on `file` (every column joined by '|'), or the error
// SQLite gave, so that a torn file fails a comparison instead of the test.
std::vector<std::string> rowsOf(const stdfs::path& file, const std::string& query) {
  std::vector<std::string> rows;
  try {
    for (const std::vector<std::string>& values : support::readRows(file, query)) {
      std::string row;
      for (const std::string& value : values) row += (row.empty() ? "" : "|") + value;
      rows.push_back(row);
    }
  } catch (const std::runtime_error& error) {
    rows.push_back(std::string("error: ") + error.what());
  }
  return rows;
}

std::vector<std::string> contentOf(const stdfs::path& file) {
  std::vector<std::string> content;
  for (const char* query :
       {"SELECT * FROM Samples ORDER BY 1, 2", "SELECT * FROM Experiments",
        "SELECT * FROM Measurements", "SELECT * FROM Materials ORDER BY Name",
        "SELECT * FROM Users", "SELECT name FROM sqlite_master ORDER BY name"}) {
    for (std::string& row : rowsOf(file, query)) content.push_back(std::move(row));
  }
  return content;
}

// A prefix of its own holding a copy of `source`'s drives C: and D:.
class PrefixCopy {
 public:
  explicit PrefixCopy(const stdfs::path& source) {
    for (const char drive : {'c', 'd'}) {
      stdfs::copy(source / (std::string("drive_") + drive), prefix_.drive(drive),
                  stdfs::copy_options::recursive);
    }
  }

  stdfs::path root() const { return prefix_.root(); }
  stdfs::path system() const { return prefix_.driveC() / "data_aco/QX_aco.mdb"; }
  stdfs::path backup() const { return prefix_.driveC() / "data_aco/Backup/QX_aco_261207_0843.mdb"; }

 private:
  support::TempPrefix prefix_{"cd"};
};

// Starts the child on `prefix`; kills it after `delay` unless it ended.
// Returns true when the kill came before the child's end.
bool runChild(const stdfs::path& prefix, std::chrono::microseconds delay, int* exitCode,
              const char* minute = nullptr) {
  const pid_t child = fork();
  if (child == 0) {
    execl(KORVANE_CRASH_CHILD, KORVANE_CRASH_CHILD, prefix.c_str(), minute, nullptr);
    _exit(127);
  }
  if (delay.count() >= 0) {
    std::this_thread::sleep_for(delay);
    kill(child, SIGKILL);
  }
  int status = 0;
  waitpid(child, &status, 0);
  *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST(CrashTest, KilledUpdateAndCloseLeaveTheOldDatabaseOrTheNewOneWhole) {
  const int trials = settingOf("KORVANE_CRASH_TRIALS", 12);
  const unsigned seed = static_cast<unsigned>(settingOf("KORVANE_CRASH_SEED", 1));
  workflow::testing::Lab base;
  base.installSystemFiles();

  // Clean runs: the new database, and how long a run takes (the median of
  // five; the kills fall within about that time, so most land mid-run).
  std::string oldBytes;
  std::vector<std::string> newContent;
  std::vector<std::chrono::microseconds> runTimes;
  int exitCode = 0;
  for (int run = 0; run < 5; ++run) {
    PrefixCopy clean(base.prefix());
    oldBytes = bytesOrMissing(clean.system());
    const auto start = Clock::now();
    runChild(clean.root(), std::chrono::microseconds(-1), &exitCode);
    runTimes.push_back(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start));
    ASSERT_EQ(exitCode, 0) << "the clean run did not finish";
    ASSERT_NE(bytesOrMissing(clean.system()), oldBytes);
    newContent = contentOf(clean.system());
  }
  std::sort(runTimes.begin(), runTimes.end());
  const std::chrono::microseconds runTime = runTimes[runTimes.size() / 2];

  std::mt19937 random(seed);
  // Every other kill falls late in the run, where Close replaces the system
  // database, so the commit is hit often even in a short run.
  std::uniform_int_distribution<long> anyTime(0, runTime.count());
  std::uniform_int_distribution<long> lateTime(runTime.count() * 2 / 3, runTime.count() * 13 / 10);
  int killed = 0, committed = 0, killedAfterCommit = 0;
  for (int trial = 0; trial < trials; ++trial) {
    const std::chrono::microseconds delay(trial % 2 == 0 ? anyTime(random) : lateTime(random));
    SCOPED_TRACE("trial " + std::to_string(trial) + ", kill after " +
                 std::to_string(delay.count()) + " us");
    PrefixCopy prefix(base.prefix());
    const bool wasKilled = runChild(prefix.root(), delay, &exitCode);
    killed += wasKilled ? 1 : 0;
    EXPECT_EQ(rowsOf(prefix.system(), "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    const std::string system = bytesOrMissing(prefix.system());
    if (system != oldBytes) {
      ++committed;
      killedAfterCommit += wasKilled ? 1 : 0;
      EXPECT_EQ(contentOf(prefix.system()), newContent) << "the system database is torn";
    }
    const std::string backup = bytesOrMissing(prefix.backup());
    if (backup != kMissing) {
      EXPECT_TRUE(sameBytes(backup, oldBytes)) << "the backup is not the old data";
    }
    // The user starts the program again, a minute later, and finishes.
    runChild(prefix.root(), std::chrono::microseconds(-1), &exitCode, "44");
    EXPECT_EQ(exitCode, 0) << "the program could not finish after the crash";
    EXPECT_EQ(rowsOf(prefix.system(), "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    if (HasFailure()) break;
  }
  std::cout << "[ crash ] seed " << seed << ": " << trials << " trials, " << killed
            << " killed mid-run (" << killedAfterCommit << " of them after the commit), "
            << committed << " found committed, median run " << runTime.count() / 1000 << " ms\n";
}

}  // namespace
}  // namespace korvane::reliability
