// DialogState as designed, and the lookup of a command's flags by index.
#include "workflow/dialog_state.h"

#include <cstddef>
#include <stdexcept>
#include <string>

namespace korvane::workflow {

DialogState::DialogState() {
  command(kSetNull).visible = false;
  command(kClose).visible = false;
  command(kExitWithoutUpdate).visible = false;
}

bool DialogState::isCommand(int index) {
  return index == kClose || index == kExitWithoutUpdate || index == kUpdate ||
         index == kDeleteOrphans || index == kSetNull;
}

namespace {

std::size_t slotOf(int index) {
  if (!DialogState::isCommand(index)) {
    throw std::out_of_range("no command has index " + std::to_string(index));
  }
  return static_cast<std::size_t>(index);
}

}  // namespace

CommandFlags& DialogState::command(int index) {
  return commands_[slotOf(index)];
}

const CommandFlags& DialogState::command(int index) const {
  return commands_[slotOf(index)];
}

}  // namespace korvane::workflow
