// Runs a helper program of our own in a child process, under limits.
//
// Code that parses untrusted files (libmdb) runs in a child so that a crash,
// a hang or a runaway allocation ends the child, never the window. The child
// gets limits on its address space, processor time and the size of any file
// it writes (setrlimit, set before it starts); the parent kills it when a
// wall-clock limit passes, always reaps it, and leaves no descriptor behind.
// A child whose parent dies is killed with it (PR_SET_PDEATHSIG), since the
// wall-clock limit dies with the parent. The thread that runs it must live
// until runChild returns (it does: runChild waits).
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace korvane::fs {

struct ChildLimits {
  std::uint64_t memoryBytes = 0;      // address space (RLIMIT_AS); 0: no limit
  std::uint64_t fileBytes = 0;        // size of any file written (RLIMIT_FSIZE); 0: no limit
  std::chrono::seconds cpu{0};        // processor time (RLIMIT_CPU); 0: no limit
  std::chrono::milliseconds wall{0};  // time until the parent kills it; 0: no limit
};

struct ChildOutcome {
  enum class End {
    kExited,      // `code` is its exit status
    kSignalled,   // `code` is the signal that ended it (a crash, a limit)
    kTimedOut,    // the parent killed it when the wall-clock limit passed
    kNotStarted,  // it could not be started; `error` says why
  };
  End end = End::kNotStarted;
  int code = 0;
  std::string out;    // what it wrote to stdout (the first kOutputLimit bytes)
  std::string err;    // what it wrote to stderr (the last kOutputLimit bytes)
  std::string error;  // kNotStarted: why
};

inline constexpr size_t kOutputLimit = 64 * 1024;

// Runs `program` with `arguments` (argv[1] on), its stdin /dev/null, no
// descriptor of ours but its stdout and stderr, and waits until it has
// ended or `limits.wall` has passed. Never throws for anything the child
// does.
ChildOutcome runChild(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments, const ChildLimits& limits);

// A short description of how a child ended: "crashed (signal 11, Segmentation
// fault)", "was stopped after 30 s", "exited with status 2", "was ended by
// its sandbox for a forbidden system call (signal 31, Bad system call)".
std::string describeEnd(const ChildOutcome& outcome, const ChildLimits& limits);

}  // namespace korvane::fs
