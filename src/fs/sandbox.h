// Confines a helper process before it reads untrusted bytes, so that code
// an attacker gets to run inside it reaches nothing of the user's.
//
// In this order, each where the kernel offers it: no new privileges (no
// set-user-id program can give any back); Landlock, so that only the files
// and folders named here can be opened, and no TCP connection made nor any
// signal sent outside; a seccomp filter that kills the process at a system
// call Landlock cannot see: sockets, starting programs, tracing another
// process, mounts, namespaces, keyrings, signals to other processes and the
// kernel's rarely used interfaces. A killed process ends with SIGSYS.
// docs/reliability.md says what is allowed and why.
#pragma once

#include <filesystem>
#include <vector>

namespace korvane::fs {

struct SandboxPaths {
  std::vector<std::filesystem::path> readable;  // files or folders, only read
  std::vector<std::filesystem::path> writable;  // folders whose files are made, written, removed
};

// What the kernel gave.
struct Confinement {
  int landlockAbi = 0;  // the Landlock ABI in force; 0: none
  bool seccomp = false;
};

// Confines this process, and any process it starts, for good, to `paths`
// and the calls the filter allows. A path that cannot be opened gets no
// rule: it stays out of reach. Fails with 75 when the kernel offers a
// protection and it cannot be applied; the caller must then not read the
// untrusted input.
Confinement enterSandbox(const SandboxPaths& paths);

// The highest Landlock ABI the kernel offers; 0 when it has none (older
// than 5.13, or Landlock is off).
int landlockAbiOfKernel();

// Whether the kernel runs seccomp filters that can kill a whole process
// (4.14 and later).
bool kernelFiltersSystemCalls();

}  // namespace korvane::fs
