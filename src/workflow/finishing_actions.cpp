// The finishing actions: Close (index 0) commits the working copy of the
// system database; Exit without update (index 1) discards it. Both end by
// asking the window to close.
#include <string>
#include <vector>

#include "workflow/actions.h"
#include "workflow/naming.h"

namespace korvane::workflow::actions {

namespace {

constexpr const char* kCommitted = "Your database file has been updated";
constexpr const char* kAbandoned = "Your database update has been abandoned";

}  // namespace

// The success text follows the copy, so a commit that fails (the system
// database held by another program) never claims success; the working copy
// stays for another try.
void closeAndCommit(CommandFrame& frame) {
  UpdateContext& context = frame.context();
  const bool systemDatabase = context.state.options[kSystemOption].selected;
  std::vector<Step> steps;
  // The working copy becomes the result: durable before it is copied, or,
  // for an external database, before the program ends with it in place.
  steps.push_back([&] { makeWorkingCopyDurable(frame); });
  if (systemDatabase) {
    steps.push_back([&] {
      frame.services().files.copyFile(context.workingPath, kSystemDatabase,
                                      fs::Overwrite::kReplace);
    });
  }
  steps.push_back([&] { context.state.instructions = kCommitted; });
  if (systemDatabase) {
    steps.push_back([&] { frame.services().files.deleteFile(context.workingPath); });
  }
  steps.push_back([&] { frame.requestClose(); });
  frame.runAction(steps);
}

void exitWithoutUpdate(CommandFrame& frame) {
  UpdateContext& context = frame.context();
  std::vector<Step> steps;
  steps.push_back([&] { context.state.instructions = kAbandoned; });
  // An Update that stopped after naming the working copy but before making
  // it leaves the name without a file: there is nothing to discard then, and
  // the user must still be able to leave.
  steps.push_back([&] {
    fs::FileServices& files = frame.services().files;
    if (!context.workingPath.empty() && files.fileExists(context.workingPath)) {
      files.deleteFile(context.workingPath);
    }
  });
  steps.push_back([&] { frame.requestClose(); });
  frame.runAction(steps);
}

}  // namespace korvane::workflow::actions
