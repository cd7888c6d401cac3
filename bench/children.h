// The benchmark's processes: running a program, the one RESULT line a child
// prints, and the parent reading it back.
//
// Every timed run happens in a child process of its own, so that no run
// inherits another's page cache of the engine or its peak memory.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "measure.h"

namespace korvane::bench {

// Says what went wrong on stderr and ends the benchmark with 1.
[[noreturn]] void fail(const std::string& what);

// Runs `argv` and waits; fails the benchmark when it does not exit with 0.
// With `output`, its standard output is collected there.
void runProgram(const std::vector<std::string>& argv, std::string* output = nullptr);

// A child's findings, in the order it prints them.
using Values = std::vector<std::pair<std::string, std::string>>;

// `v` as the RESULT line prints it: six decimals.
std::string num(double v);

// Prints the RESULT line: "RESULT key=value ...".
void report(const Values& values);

// Adds what `m` measured under `key`: its seconds as `key`, and the CPU,
// bytes, copying time and peak memory as `user_key`, `sys_key`, ...
void addMeasured(Values& out, const std::string& key, const Measured& m);

// What a child reported, by key.
struct ChildResult {
  std::map<std::string, std::string> values;
  // The value of `key` as a number; fails the benchmark when it is missing.
  double number(const std::string& key) const;
};

// Runs this program again as a child with `args` (after "--settle"), and
// reads its RESULT line; fails the benchmark when it reports nothing.
ChildResult runChild(const std::vector<std::string>& args);

}  // namespace korvane::bench
