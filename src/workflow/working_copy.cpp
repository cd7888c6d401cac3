// The working copy is no one's data until it is the result: if the power
// fails while it is being built, the user runs Update again. So the engine
// writes it without waiting for the disk (each statement still atomic), and
// each action that reports a result, or hands it on, makes it durable once.
// These two steps are the only places that decide it.
#include "workflow/actions.h"

namespace korvane::workflow::actions {

void writeWorkingCopyAsScratch(CommandFrame& frame) {
  frame.engine().treatAsScratch(frame.context().workingPath);
}

// After the action's last handle on it is closed, so no journal is left
// beside it: the file, then its folder (the journal's removal), are flushed.
void makeWorkingCopyDurable(CommandFrame& frame) {
  frame.services().files.flush(frame.context().workingPath);
}

}  // namespace korvane::workflow::actions
