// The clean-ups of the working copy after Update: Delete orphans (index 10)
// and Set un-measured values to Null (index 11). Both work on the working
// copy only and leave committing it to Close.
#include <string>
#include <vector>

#include "workflow/actions.h"
#include "workflow/program_statements.h"
#include "workflow/window_states.h"

namespace korvane::workflow::actions {

namespace {

constexpr const char* kCleanedBefore = " The database  ";
constexpr const char* kCleanedAfter =
    " has been cleaned to:\r\n"
    "\r\n"
    "      Delete Samples having no Experiments  \r\n"
    "      Delete Experiments having no Measurements.\r\n"
    "\r\n";
constexpr const char* kOfferSetNull =
    "Press 'Set unmeasured values to Null' to eliminate zeros for unmeasured data\r\n\r\n";
constexpr const char* kFinishAfterCleaning =
    " or Press 'Close' to save update and exit\r\n"
    "\r\n"
    " or Press 'Exit without update' to abandom changes and exit";

constexpr const char* kNulledBefore = "Zero values in database ";
constexpr const char* kNulledMiddle = " have been replaced by Null\r\n and saved to ";
constexpr const char* kOfferDeleteOrphans =
    " Press 'Delete Orphans' to delete experiments with no measured data\r\n\r\n";
constexpr const char* kFinishAfterNulling =
    " OR\r\n"
    " Press 'Close' to save update and exit\r\n"
    "\r\n"
    " OR\r\n"
    " Press 'Exit without update' to abandom changes and exit";

// Open the working copy, run `statements` on it (each text stored in `sql`,
// then executed), close it, and make what the action is about to report
// durable.
void appendStatementSteps(CommandFrame& frame, std::vector<Step>& steps, const auto& statements) {
  UpdateContext& context = frame.context();
  steps.push_back(
      [&frame, &context] { context.db = frame.engine().openDatabase(context.workingPath); });
  for (const char* statement : statements) {
    steps.push_back([&context, statement] { context.sql = statement; });
    steps.push_back([&context] { context.db->execute(context.sql); });
  }
  steps.push_back([&context] { context.db->close(); });
  steps.push_back([&frame] { makeWorkingCopyDurable(frame); });
}

// Delete orphans keeps whatever it showed: still on offer when the zeros go
// first, gone when they go after it.
WindowState stateAfterZerosReplaced(const DialogState& state) {
  return state.command(kDeleteOrphans).visible ? WindowState::kZerosReplacedFirst
                                               : WindowState::kZerosReplacedLast;
}

}  // namespace

void deleteOrphans(CommandFrame& frame) {
  UpdateContext& context = frame.context();
  DialogState& state = context.state;
  std::string text;
  std::vector<Step> steps;
  appendStatementSteps(frame, steps, statements::kOrphanDeletions);
  steps.push_back([&] { text = kCleanedBefore + context.selectedPath + kCleanedAfter; });
  // The null replacement is offered again, even when it has run already.
  steps.push_back([&] { text += kOfferSetNull; });
  steps.push_back([&] { text += kFinishAfterCleaning; });
  steps.push_back([&] { state.instructions = text; });
  steps.push_back([&] { enter(state, WindowState::kOrphansDeleted); });
  frame.runAction(steps);
}

void setUnmeasuredToNull(CommandFrame& frame) {
  UpdateContext& context = frame.context();
  DialogState& state = context.state;
  std::string text;
  std::vector<Step> steps;
  appendStatementSteps(frame, steps, statements::kNullReplacements);
  steps.push_back(
      [&] { text = kNulledBefore + context.sourcePath + kNulledMiddle + context.workingPath; });
  steps.push_back([&] {
    if (state.command(kDeleteOrphans).visible) text += kOfferDeleteOrphans;
  });
  steps.push_back([&] { text += kFinishAfterNulling; });
  steps.push_back([&] { state.instructions = text; });
  steps.push_back([&] { enter(state, stateAfterZerosReplaced(state)); });
  frame.runAction(steps);
}

}  // namespace korvane::workflow::actions
