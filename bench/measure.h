// What one timed action costs: wall-clock time, CPU in the program and in the
// kernel, bytes written, and peak resident memory.
#pragma once

#include <chrono>
#include <functional>

namespace korvane::bench {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start);

struct Measured {
  double seconds = 0;
  double user = 0;    // CPU seconds in the program and SQLite
  double system = 0;  // CPU seconds in the kernel (copies, writes, fsync's write-back)
  double written = 0;
  double toDisk = 0;
  double copySeconds = 0;  // of `seconds`, spent copying files
  long peakKib = 0;
};

// Seconds to let the disk settle after the sync before each timed action
// (--settle): a virtual disk may go on writing what the sync handed it.
extern double settleSeconds;

// Runs `body` after a sync and a pause (so no earlier write-back is charged
// to it), in a new peak-memory period.
Measured measure(const std::function<void()>& body);

// Peak resident memory of this process (getrusage), in KiB. It only grows.
long maxRssKib();

}  // namespace korvane::bench
