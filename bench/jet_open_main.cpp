// korvane-jet-open-bench: what running the Jet import in its helper process
// costs per open, against the same import in this process.
//
//   korvane-jet-open-bench HELPER ROUNDS FILE.mdb...
//
// For each file, ROUNDS imports of each kind into a fresh SQLite file in a
// temporary folder, interleaved; prints the median of each, and the cost
// of starting the helper alone (it refuses to run without arguments), with
// its spread. Measures; never a test.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fs/child_process.h"
#include "jet_file/jet_file.h"
#include "jet_file/jet_import_process.h"
#include "support/temp_prefix.h"

namespace {

namespace stdfs = std::filesystem;
using Clock = std::chrono::steady_clock;

double millisecondsOf(const std::function<void()>& run) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Spread {
  double median, low, high;
};

Spread spreadOf(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times.front(), times.back()};
}

double childCpuMilliseconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s HELPER ROUNDS FILE.mdb...\n", argv[0]);
    return 2;
  }
  const stdfs::path helper = stdfs::absolute(argv[1]);
  const int rounds = std::max(1, std::atoi(argv[2]));
  // The bench names the helper it measures, as the tests do.
  korvane::jetfile::useJetImportHelperForTesting(helper);
  const korvane::support::TempFolder folder;
  const stdfs::path target = folder.path() / "copy.sqlite";

  std::vector<double> start;
  const double cpuBefore = childCpuMilliseconds();
  for (int i = 0; i < rounds; ++i)
    start.push_back(millisecondsOf([&] { korvane::fs::runChild(helper, {}, {}); }));
  const Spread bare = spreadOf(start);
  std::printf("helper started alone: median %.2f ms (%.2f-%.2f), %.2f ms of its CPU\n", bare.median,
              bare.low, bare.high, (childCpuMilliseconds() - cpuBefore) / rounds);

  std::printf("%-32s %10s %10s %12s %10s\n", "file", "KB", "in-process", "in helper", "cost");
  for (int f = 3; f < argc; ++f) {
    const stdfs::path file = argv[f];
    std::vector<double> inProcess, inHelper;
    for (int i = 0; i < rounds; ++i) {
      inProcess.push_back(
          millisecondsOf([&] { korvane::jetfile::importJetFileToNewDatabase(file, target); }));
      stdfs::remove(target);
      inHelper.push_back(millisecondsOf(
          [&] { korvane::jetfile::importJetFileInHelper(file, target, file.string()); }));
      stdfs::remove(target);
    }
    const Spread a = spreadOf(inProcess), b = spreadOf(inHelper);
    std::printf("%-32s %10ju %7.2f ms %9.2f ms %7.2f ms\n", file.filename().c_str(),
                static_cast<std::uintmax_t>(stdfs::file_size(file) / 1024), a.median, b.median,
                b.median - a.median);
  }
  return 0;
}
