// The command frame: every button press enters here.
//
// commandClick(index) shows the busy pointer, runs the action of the index as
// a list of small steps under the one error policy of the program, and
// restores the pointer. The policy lives in runSteps() and nowhere else:
// engine error 3078 (input table or query not found) skips the failing step;
// any other failure stops the action at once, leaving state and files as
// they are. No message is shown.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "db/engine/database_engine.h"
#include "fs/clock.h"
#include "fs/file_services.h"
#include "fs/path_map.h"
#include "workflow/update_context.h"

namespace korvane::workflow {

// The outside world of the actions, passed in (tests use a temporary prefix
// and a fixed clock).
struct Services {
  fs::FileServices& files;
  const fs::Clock& clock;
  const fs::PathMap& paths;
};

// A step of an action; it raises korvane::Failure to fail.
using Step = std::function<void()>;

// How the window hears of the workflow.
struct Listener {
  std::function<void()> stateChanged;    // DialogState changed; render it
  std::function<void()> closeRequested;  // an action closed the window
};

class CommandFrame {
 public:
  explicit CommandFrame(Services services);
  ~CommandFrame();

  UpdateContext& context() { return context_; }
  const DialogState& state() const { return context_.state; }

  void setListener(Listener listener) { listener_ = std::move(listener); }

  // One button press: 0 Close, 1 Exit without update, 9 Update, 10 Delete
  // orphans, 11 Set un-measured values to Null; any other index changes
  // nothing but the pointer.
  void commandClick(int index);

  // True once Close or Exit without update has closed the window.
  bool closed() const { return closed_; }

  // Tells the listener the state changed (for changes made outside an
  // action, such as the database selection).
  void notifyStateChanged();

  // The engine, created on first use and kept for the frame's life.
  db::DatabaseEngine& engine();

  Services& services() { return services_; }

  // Asks the window to close; the last step of Close and Exit without update.
  void requestClose();

  // Runs the steps of an action under the error policy, telling the listener
  // after each step that changed the DialogState. Returns false when a step
  // stopped the action.
  bool runAction(const std::vector<Step>& steps);

 private:
  void setPointer(Pointer pointer);
  void dispatch(Command command);

  Services services_;
  Listener listener_;
  UpdateContext context_;
  std::unique_ptr<db::DatabaseEngine> engine_;
  bool closed_ = false;
};

// Runs `steps` in order under the error policy, calling `afterEachStep` (when
// given) after every step that did not stop the action. Returns false when a
// step stopped the action; a fault that is not a korvane::Failure is not the
// policy's to judge and propagates.
bool runSteps(const std::vector<Step>& steps, const std::function<void()>& afterEachStep = {});

}  // namespace korvane::workflow
