// The clean-ups of the working copy after Update: Delete orphans (index 10)
// and Set un-measured values to Null (index 11). Both work on the working
// copy only and leave committing it to Close.
#include <array>
#include <string>
#include <vector>

#include "workflow/actions.h"

namespace korvane::workflow::actions {

namespace {

// Experiments first, so that samples whose only experiments were just
// removed go too.
constexpr std::array<const char*, 2> kOrphanDeletions = {
    "DELETE DISTINCTROW Experiments.*, Experiments.[Experiment Date], "
    "Measurements.[Experiment Date]"
    "FROM Experiments LEFT JOIN Measurements ON Experiments.[Experiment Date] = "
    "Measurements.[Experiment Date]"
    "WHERE ((Measurements.[Experiment Date] Is Null));",
    "DELETE DISTINCTROW Samples.*, Samples.[Sample Date], Experiments.[Sample Date]"
    "FROM Samples LEFT JOIN Experiments ON Samples.[Sample Date] = Experiments.[Sample Date]"
    "WHERE ((Experiments.[Sample Date] Is Null));",
};

// One statement per group of readings; a zero in the group's first reading
// means the group was never measured.
constexpr std::array<const char*, 3> kNullReplacements = {
    "UPDATE DISTINCTROW Measurements SET C1 = Null, zp = Null, E1 = Null, K18 = Null, K7 = NULL, "
    "K2= NULL, K14 = NULL, K15 = NULL, K4 = NULL, K16 = NULL, K21 = NULL WHERE ((C1=0));",
    "UPDATE DISTINCTROW Measurements SET K1 = Null, K5 = NULL, K6 = NULL, K11 = NULL, K12 = NULL, "
    "K8 = NULL, K9 = NULL, K10 = NULL   WHERE ((K1=0));",
    "UPDATE DISTINCTROW Measurements SET PSM = NULL, PSW = NULL, A1 = Null, A2 = Null, A3 = Null, "
    "A4 = Null, A5 = Null, A6 = Null, A7 = Null, A8 = Null, A9 = Null, A10 = Null, A11 = Null, "
    "A12 = Null, A13 = Null, A14 = Null, A15 = Null, A16 = Null, A17 = Null, A18 = Null, "
    "A19 = Null, A20 = Null, A21 = Null, F_low = NULL, F_high = NULL, N_exp = NULL, "
    "Lin_exp = NULL, "
    "ERR_LOG = NULL, PSM_1 = NULL, PSM_2 = NULL, CONT_1 = NULL, CONT_2 = NULL, ERR_BI = NULL, "
    "PSMBi = NULL, PSMN = NULL, PSMM = NULL, PSMW = NULL, PSWBi = NULL, PSW_1 = NULL, "
    "PSW_2 = NULL, D15 = NULL, D50 = NULL, D85 = NULL "
    "WHERE ((A1=0));",
};

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
// then executed), close it.
void appendStatementSteps(CommandFrame& frame, std::vector<Step>& steps, const auto& statements) {
  UpdateContext& context = frame.context();
  steps.push_back(
      [&frame, &context] { context.db = frame.engine().openDatabase(context.workingPath); });
  for (const char* statement : statements) {
    steps.push_back([&context, statement] { context.sql = statement; });
    steps.push_back([&context] { context.db->execute(context.sql); });
  }
  steps.push_back([&context] { context.db->close(); });
}

}  // namespace

void deleteOrphans(CommandFrame& frame) {
  UpdateContext& context = frame.context();
  DialogState& state = context.state;
  std::string text;
  std::vector<Step> steps;
  appendStatementSteps(frame, steps, kOrphanDeletions);
  steps.push_back([&] { text = kCleanedBefore + context.selectedPath + kCleanedAfter; });
  steps.push_back([&] { state.command(kSetNull).visible = true; });
  steps.push_back([&] {
    if (state.command(kSetNull).visible) text += kOfferSetNull;
  });
  steps.push_back([&] { text += kFinishAfterCleaning; });
  steps.push_back([&] { state.instructions = text; });
  steps.push_back([&] {
    state.command(kUpdate).visible = false;
    state.command(kDeleteOrphans).visible = false;
    state.command(kSetNull).visible = true;
    state.command(kUpdate).enabled = false;
    state.command(kDeleteOrphans).enabled = false;
    state.command(kSetNull).enabled = true;
    state.frameEnabled = false;
  });
  frame.runAction(steps);
}

void setUnmeasuredToNull(CommandFrame& frame) {
  UpdateContext& context = frame.context();
  DialogState& state = context.state;
  std::string text;
  std::vector<Step> steps;
  appendStatementSteps(frame, steps, kNullReplacements);
  steps.push_back(
      [&] { text = kNulledBefore + context.sourcePath + kNulledMiddle + context.workingPath; });
  steps.push_back([&] {
    if (state.command(kDeleteOrphans).visible) text += kOfferDeleteOrphans;
  });
  steps.push_back([&] { text += kFinishAfterNulling; });
  steps.push_back([&] { state.instructions = text; });
  // Delete orphans keeps whatever it showed.
  steps.push_back([&] {
    state.command(kUpdate).visible = false;
    state.command(kSetNull).visible = false;
    state.command(kUpdate).enabled = false;
    state.command(kSetNull).enabled = false;
    state.frameEnabled = false;
  });
  frame.runAction(steps);
}

}  // namespace korvane::workflow::actions
