// The table of the window's states.
#include "workflow/window_states.h"

#include <array>
#include <cstddef>
#include <iterator>

namespace korvane::workflow {

namespace {

// How a command looks in a state. A command not on offer yet is hidden but
// stays enabled, as the window is drawn; one whose action has run (Update,
// a clean-up) is hidden and disabled too.
enum class Look { kShown, kHidden, kOff };

// The window's column order.
constexpr std::array<Command, 5> kColumns = {kUpdate, kDeleteOrphans, kSetNull, kClose,
                                             kExitWithoutUpdate};

struct Row {
  WindowState state;
  std::array<Look, kColumns.size()> commands;
  bool choiceEnabled;   // Frame1
  bool optionsEnabled;  // both options
};

using enum Look;

// clang-format off
constexpr Row kRows[] = {
    //                                  Update   Delete   Set to   Close    Exit      Frame1  options
    //                                           orphans  Null
    {WindowState::kAsDesigned,         {kShown,  kShown,  kHidden, kHidden, kHidden}, true,   true},
    {WindowState::kSystemChosen,       {kShown,  kHidden, kHidden, kHidden, kShown},  true,   true},
    {WindowState::kExternalChosen,     {kShown,  kHidden, kHidden, kHidden, kShown},  true,   true},
    {WindowState::kNothingChosen,      {kHidden, kHidden, kHidden, kHidden, kShown},  true,   true},
    {WindowState::kUpdated,            {kOff,    kShown,  kShown,  kShown,  kShown},  false,  true},
    {WindowState::kOrphansDeleted,     {kOff,    kOff,    kShown,  kShown,  kShown},  false,  true},
    {WindowState::kZerosReplacedFirst, {kOff,    kShown,  kOff,    kShown,  kShown},  false,  true},
    {WindowState::kZerosReplacedLast,  {kOff,    kOff,    kOff,    kShown,  kShown},  false,  true},
};
// clang-format on

constexpr bool rowsFollowTheStates() {
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    if (static_cast<std::size_t>(kRows[i].state) != i) return false;
  }
  return true;
}
static_assert(rowsFollowTheStates(), "kRows is indexed by WindowState");

CommandFlags flagsOf(Look look) {
  return {.visible = look == kShown, .enabled = look != kOff};
}

}  // namespace

void enter(DialogState& state, WindowState to) {
  const Row& row = kRows[static_cast<std::size_t>(to)];
  for (std::size_t column = 0; column < kColumns.size(); ++column) {
    state.command(kColumns[column]) = flagsOf(row.commands[column]);
  }
  state.frameEnabled = row.choiceEnabled;
  for (OptionFlags& option : state.options) option.enabled = row.optionsEnabled;
}

}  // namespace korvane::workflow
