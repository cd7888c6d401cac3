// The two confinements enterSandbox applies, one file each: Landlock
// (landlock.cpp) and the seccomp filter (system_call_filter.cpp). Both
// expect no new privileges to be set already.
#pragma once

#include "fs/sandbox.h"

namespace korvane::fs::detail {

// Restricts this process to `paths` by the highest Landlock ABI the kernel
// offers, which it returns; 0 when it offers none. Fails with 75.
int restrictByLandlock(const SandboxPaths& paths);

// Loads the filter; false when the kernel cannot run it. Fails with 75.
bool filterSystemCalls();

}  // namespace korvane::fs::detail
