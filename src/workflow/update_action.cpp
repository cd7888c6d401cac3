// Update (index 9): backs up the system database, copies the template to a
// new working copy, pours the user's data from the old database into it,
// swaps in the current standard materials and drops their reference table.
// The old database is only read.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fs/clock.h"
#include "workflow/actions.h"
#include "workflow/naming.h"
#include "workflow/program_statements.h"
#include "workflow/window_states.h"

namespace korvane::workflow::actions {

namespace {

constexpr const char* kStandardMaterialsTable = "Standard Materials";

constexpr const char* kSystemUpdatedBefore = " The system database ";
constexpr const char* kSystemUpdatedAfter = " has been succesfully updated.";
constexpr const char* kWhatNext =
    " Press 'Delete Orphans' to delete experiments with no measured data\r\n"
    " OR\r\n"
    " Press 'Set unmeasured values to Null' to eliminate zeros for unmeasured data\r\n"
    " OR\r\n"
    " Press 'Close' to save update and exit\r\n"
    " OR\r\n"
    " Press 'Exit without update' to exit and abandom changes";

// One Update run: its stamp and the text it builds, shared by its steps.
class UpdateRun {
 public:
  explicit UpdateRun(CommandFrame& frame) : frame_(frame), context_(frame.context()) {}

  void takeStamp() { stamp_ = fs::stampOf(frame_.services().clock.now()); }

  std::vector<Step> steps() {
    // A run that stopped may have left its handles open, on the working copy
    // among them; a retry would then find its own files held.
    std::vector<Step> steps = {[this] { releaseHandles(); }};
    for (Step& step : isSystemDatabase() ? systemNameSteps() : externalNameSteps()) {
      steps.push_back(std::move(step));
    }
    steps.push_back([this] { writeWorkingCopyAsScratch(frame_); });
    steps.push_back([this] { copyTemplateToWorkingCopy(); });
    // The old database is only read: opened read-only, nothing of it changes.
    steps.push_back([this] {
      context_.db = frame_.engine().openDatabaseInWorkspace(context_.sourcePath, true);
    });
    for (const statements::Transfer& transfer : statements::kTransfers) {
      steps.push_back([this, &transfer] {
        context_.sql = transfer.withPath(statements::jetLiteralBody(context_.workingPath));
      });
      steps.push_back([this] { context_.db->execute(context_.sql); });
    }
    steps.push_back([this] { context_.db = frame_.engine().openDatabase(context_.workingPath); });
    steps.push_back([this] { context_.sql = statements::kDropUsersStandardCopies; });
    steps.push_back([this] { context_.db->execute(context_.sql); });
    steps.push_back([this] { context_.sql = statements::kAppendStandardMaterials; });
    steps.push_back([this] { context_.db->execute(context_.sql); });
    steps.push_back([this] { context_.db->close(); });
    steps.push_back([this] {
      context_.db2 = frame_.engine().openDatabaseInWorkspace(context_.workingPath, false);
    });
    steps.push_back([this] { context_.db2->deleteTableDef(kStandardMaterialsTable); });
    steps.push_back([this] { context_.db2->refreshTableDefs(); });
    steps.push_back([this] { context_.db2->close(); });
    steps.push_back([this] { makeWorkingCopyDurable(frame_); });
    steps.push_back([this] { context_.state.pointer = Pointer::kDefault; });
    steps.push_back([this] { buildResultText(); });
    steps.push_back([this] { context_.state.instructions = text_; });
    steps.push_back([this] { enter(context_.state, WindowState::kUpdated); });
    return steps;
  }

 private:
  bool isSystemDatabase() const { return context_.selectedPath == kSystemDatabase; }

  std::vector<Step> systemNameSteps() {
    return {
        [this] { makeOrReuseBackup(); },
        [this] { context_.sourcePath = systemNames(stamp_).sourcePath; },
        [this] { context_.workingPath = systemNames(stamp_).workingPath; },
    };
  }

  // The chosen file itself is the source and is only read.
  std::vector<Step> externalNameSteps() {
    return {
        [this] { context_.sourcePath = context_.selectedPath; },
        [this] { context_.workingPath = externalNames(context_.sourcePath, stamp_).workingPath; },
    };
  }

  void releaseHandles() {
    context_.db.reset();
    context_.db2.reset();
  }

  // The backup is the only copy of the data as it was: an existing one (a
  // second run in the same minute) is never replaced, and the run stops
  // before anything is written. The exception is a backup this window made
  // in a run that stopped later on: a retry uses it again, as long as
  // neither it nor the system database has changed since (same file, size
  // and times to the nanosecond).
  void makeOrReuseBackup() {
    fs::FileServices& files = frame_.services().files;
    const std::string backup = systemNames(stamp_).sourcePath;
    const std::optional<MadeBackup>& made = context_.madeBackup;
    if (made && made->path == backup && files.identify(backup) == made->backup &&
        files.identify(kSystemDatabase) == made->system) {
      return;
    }
    const std::optional<fs::FileIdentity> before = files.identify(kSystemDatabase);
    files.copyFile(kSystemDatabase, backup, fs::Overwrite::kNever);
    const std::optional<fs::FileIdentity> after = files.identify(kSystemDatabase);
    const std::optional<fs::FileIdentity> copy = files.identify(backup);
    // Changed while it was copied: the backup may not match, so never reuse it.
    if (before && copy && before == after) context_.madeBackup = MadeBackup{backup, *copy, *after};
  }

  void copyTemplateToWorkingCopy() {
    frame_.services().files.copyFile(kTemplateDatabase, context_.workingPath,
                                     fs::Overwrite::kReplace);
  }

  void buildResultText() {
    text_.clear();
    if (context_.state.options[kSystemOption].selected) {
      text_ =
          kSystemUpdatedBefore + context_.selectedPath + kSystemUpdatedAfter + kNewLine + kNewLine;
    }
    text_ += kWhatNext;
  }

  CommandFrame& frame_;
  UpdateContext& context_;
  std::string stamp_;
  std::string text_;
};

}  // namespace

void update(CommandFrame& frame) {
  UpdateRun run(frame);
  if (!frame.runAction({[&run] { run.takeStamp(); }})) return;
  // Nothing chosen: nothing to do; the frame restores the pointer.
  if (frame.context().selectedPath.empty()) return;
  frame.runAction(run.steps());
}

}  // namespace korvane::workflow::actions
