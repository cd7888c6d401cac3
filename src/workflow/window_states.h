// The states the window can be in, and what each shows.
//
// One table says, for every state, which commands show, which are enabled,
// and whether the database choice is open; it is the only place that sets
// those flags. Each action names the state it leads to.
#pragma once

#include "workflow/dialog_state.h"

namespace korvane::workflow {

enum class WindowState {
  kAsDesigned,          // the controls as drawn, before start-up
  kSystemChosen,        // S: Update, Exit without update
  kExternalChosen,      // E: Update, Exit without update
  kNothingChosen,       // N: Exit without update
  kUpdated,             // U: Close, Exit, Delete orphans, Set un-measured values to Null
  kOrphansDeleted,      // D: Close, Exit, Set un-measured values to Null
  kZerosReplacedFirst,  // Z1: Close, Exit, Delete orphans
  kZerosReplacedLast,   // Z2: Close, Exit
};

// Makes `state` show `to`: every command's visibility and enabled flag,
// Frame1's enabled flag and both options'. The caption, the text, the
// pointer and which option is selected stay as they are.
void enter(DialogState& state, WindowState to);

}  // namespace korvane::workflow
