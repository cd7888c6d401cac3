// The busy (hourglass) pointer for the length of one action.
#pragma once

namespace korvane::ui {

// Shows the wait cursor over the whole program from construction to
// destruction, so every way out of an action (an error, an exception, the
// window closing) restores the pointer. The cursor is painted at once: the
// constructor lets pending events run, except user input.
class BusyPointer {
 public:
  BusyPointer();
  ~BusyPointer();

  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace korvane::ui
