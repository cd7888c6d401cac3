// DialogState as the window is drawn, and the commands by index.
#include "workflow/dialog_state.h"

#include <algorithm>
#include <cstddef>

#include "workflow/window_states.h"

namespace korvane::workflow {

std::optional<Command> commandAt(int index) {
  for (Command command : kCommands) {
    if (command == index) return command;
  }
  return std::nullopt;
}

DialogState::DialogState() {
  enter(*this, WindowState::kAsDesigned);
}

// A value that is none of the five gets no slot: at() refuses it.
std::size_t DialogState::slotOf(Command which) {
  return static_cast<std::size_t>(std::ranges::find(kCommands, which) - kCommands.begin());
}

}  // namespace korvane::workflow
