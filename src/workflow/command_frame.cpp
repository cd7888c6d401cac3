// The command frame: busy pointer, dispatch by index, and the one error
// policy of the program.
#include "workflow/command_frame.h"

#include <optional>

#include "fs/failure.h"
#include "sqlite/jet_errors.h"
#include "workflow/actions.h"

namespace korvane::workflow {

namespace {

// The policy: true when the action may go on after `step`. The engine's
// "input table or query not found" is the one number with a meaning of its
// own: a table the old database lacks is simply not carried over.
bool stepLetsActionGoOn(const Step& step) {
  try {
    step();
    return true;
  } catch (const Failure& failure) {
    return failure.number() == jeterr::kInputTableNotFound.number;
  }
}

}  // namespace

bool runSteps(const std::vector<Step>& steps, const std::function<void()>& afterEachStep) {
  for (const Step& step : steps) {
    if (!stepLetsActionGoOn(step)) return false;
    if (afterEachStep) afterEachStep();
  }
  return true;
}

CommandFrame::CommandFrame(Services services) : services_(services) {}

CommandFrame::~CommandFrame() {
  // Handles go before the engine that made them.
  context_.db.reset();
  context_.db2.reset();
}

void CommandFrame::commandClick(int index) {
  if (closed_) return;
  setPointer(Pointer::kBusy);
  if (const std::optional<Command> command = commandAt(index)) dispatch(*command);
  if (closed_) return;  // nothing touches a closed window
  setPointer(Pointer::kDefault);
}

void CommandFrame::dispatch(Command command) {
  switch (command) {
    case kClose:
      actions::closeAndCommit(*this);
      break;
    case kExitWithoutUpdate:
      actions::exitWithoutUpdate(*this);
      break;
    case kUpdate:
      actions::update(*this);
      break;
    case kDeleteOrphans:
      actions::deleteOrphans(*this);
      break;
    case kSetNull:
      actions::setUnmeasuredToNull(*this);
      break;
  }
}

bool CommandFrame::runAction(const std::vector<Step>& steps) {
  DialogState shown = context_.state;
  auto showChanges = [&] {
    if (closed_ || context_.state == shown) return;
    shown = context_.state;
    notifyStateChanged();
  };
  const bool completed = runSteps(steps, showChanges);
  showChanges();  // a stopped action keeps what its done steps changed
  return completed;
}

void CommandFrame::setPointer(Pointer pointer) {
  context_.state.pointer = pointer;
  notifyStateChanged();
}

void CommandFrame::notifyStateChanged() {
  if (listener_.stateChanged) listener_.stateChanged();
}

db::DatabaseEngine& CommandFrame::engine() {
  if (!engine_) engine_ = std::make_unique<db::DatabaseEngine>(services_.paths);
  return *engine_;
}

void CommandFrame::requestClose() {
  closed_ = true;
  if (listener_.closeRequested) listener_.closeRequested();
}

}  // namespace korvane::workflow
