// Timing an action, and what it cost besides the time.
#include "measure.h"

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace korvane::bench {

namespace {

// Peak resident memory of this address space since the last resetPeakRss()
// (VmHWM), in KiB.
long peakRssKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Starts a new VmHWM period (Linux: writing 5 to clear_refs).
void resetPeakRss() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

// CPU seconds (user and system) and bytes written, of this process and of
// the children it has waited for (`cp`). `written` counts every page made
// dirty (ru_oublock), also one of a file removed before the kernel wrote it
// out; `toDisk` leaves those out (/proc/self/io: write_bytes less
// cancelled_write_bytes), so it is what the disk has to take, now or later:
// a journal written and removed within a statement may never reach it.
struct Usage {
  double user = 0;
  double system = 0;
  double written = 0;
  double toDisk = 0;
};

Usage usageNow() {
  Usage u;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage r{};
    getrusage(who, &r);
    u.user += r.ru_utime.tv_sec + r.ru_utime.tv_usec / 1e6;
    u.system += r.ru_stime.tv_sec + r.ru_stime.tv_usec / 1e6;
    u.written += static_cast<double>(r.ru_oublock) * 512.0;
  }
  std::ifstream io("/proc/self/io");
  std::string key;
  double value = 0;
  while (io >> key >> value) {
    if (key == "write_bytes:") u.toDisk += value;
    if (key == "cancelled_write_bytes:") u.toDisk -= value;
  }
  return u;
}

}  // namespace

double settleSeconds = 2.0;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

long maxRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

Measured measure(const std::function<void()>& body) {
  sync();
  if (settleSeconds > 0) usleep(static_cast<useconds_t>(settleSeconds * 1e6));
  resetPeakRss();
  const Usage before = usageNow();
  const auto start = Clock::now();
  body();
  Measured m;
  m.seconds = secondsSince(start);
  const Usage after = usageNow();
  m.user = after.user - before.user;
  m.system = after.system - before.system;
  m.written = after.written - before.written;
  m.toDisk = after.toDisk - before.toDisk;
  m.peakKib = peakRssKib();
  return m;
}

}  // namespace korvane::bench
