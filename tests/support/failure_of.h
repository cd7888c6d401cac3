// The failure an action raised, for tests that check numbers and texts.
#pragma once

#include <functional>
#include <string>

namespace korvane::support {

// What `action` raised: its number and text; number 0 when it succeeded.
struct Caught {
  int number = 0;
  std::string text;
};

// Runs `action`; a korvane::Failure becomes a Caught, anything else passes.
Caught failureOf(const std::function<void()>& action);

}  // namespace korvane::support
