// KORVANE_ASSERT(condition): what the code relies on at that point, checked.
//
// A condition that is false is a fault in the program, never in its input:
// the process prints the condition and where it failed, and aborts. The
// checks are on unless the build turns them off (the CMake option
// KORVANE_ASSERTS, on by default, so the tests and the sanitizer build run
// them whatever the build type; a benchmark or release build may turn them
// off). Turned off, the condition is still compiled but never evaluated.
#pragma once

#if !defined(KORVANE_ASSERTS)
#error "link korvane_invariant, which says whether KORVANE_ASSERT checks"
#endif

#if KORVANE_ASSERTS

#include <cstdio>
#include <cstdlib>

namespace korvane::detail {

[[noreturn]] inline void assertionFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant failed: %s\n", file, line, condition);
  std::abort();
}

}  // namespace korvane::detail

#define KORVANE_ASSERT(condition)     \
  ((condition) ? static_cast<void>(0) \
               : ::korvane::detail::assertionFailed(#condition, __FILE__, __LINE__))

#else

#define KORVANE_ASSERT(condition) static_cast<void>(sizeof((condition) ? 1 : 0))

#endif
