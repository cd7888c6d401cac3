// Catching the program's one failure type in tests.
#include "support/failure_of.h"

#include "fs/failure.h"

namespace korvane::support {

Caught failureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return {failure.number(), failure.text()};
  }
  return {};
}

}  // namespace korvane::support
