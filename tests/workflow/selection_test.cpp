// Start-up and the database selection on a bare context: what the choice
// does to selectedPath, the caption, the commands and the options, and what
// it asks of CommonDialog1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scripted_dialog.h"
#include "workflow/database_selection.h"
#include "workflow/dialog_state.h"
#include "workflow/start_up.h"

namespace korvane::workflow {
namespace {

using support::ScriptedDialog;

const std::string kSystem = "C:\\data_aco\\QX_aco.mdb";
const std::string kLab7 = "D:\\Lab7\\QX_aco.mdb";
const std::string kOther = "E:\\x\\mydata.mdb";
const std::string kExternalCaption = "Update external database, ";
const std::string kSystemCaption = "Update system database, " + kSystem;

std::vector<int> visibleCommands(const DialogState& state) {
  std::vector<int> shown;
  for (Command index : {kClose, kExitWithoutUpdate, kUpdate, kDeleteOrphans, kSetNull}) {
    if (state.command(index).visible) shown.push_back(index);
  }
  return shown;
}

// 0 or 1 for the selected option, -1 for none, 2 for both.
int selectedOption(const DialogState& state) {
  if (state.options[kSystemOption].selected && state.options[kExternalOption].selected) return 2;
  if (state.options[kSystemOption].selected) return 0;
  if (state.options[kExternalOption].selected) return 1;
  return -1;
}

TEST(StartUp, FillsTheInstructionsAndSelectsTheSystemDatabase) {
  UpdateContext context;
  startUp(context);

  const std::string expected =
      " If you want to update the database on this system, then\r\n"
      " Close Measurement and MS Access applications if Open.\r\n"
      " and Press 'Update'\r\n"
      "\r\n"
      " Updating database will:\r\n"
      "    Update caption for each field in database as necessary,\r\n"
      "    Improve description of each field as necessary,\r\n"
      "    Add new db fields for compatability with latest software if necessary,\r\n"
      "    Add new Standard Materials as necessary,\r\n"
      "    Add new experiments as required for any new Tutorials\r\n"
      "\r\n"
      " If instead, you want to update an external db for another system, then \r\n"
      " click option 'select external db' , select the desired file, and then press 'Update'";
  EXPECT_EQ(context.state.instructions, expected);
  EXPECT_EQ(context.dataFolder, "C:\\data_aco\\");
  EXPECT_EQ(context.selectedPath, kSystem);
  EXPECT_EQ(context.state.caption, kSystemCaption);
  EXPECT_EQ(visibleCommands(context.state), (std::vector<int>{kExitWithoutUpdate, kUpdate}));
  EXPECT_EQ(selectedOption(context.state), 0);
  EXPECT_TRUE(context.state.frameEnabled);
  EXPECT_TRUE(context.workingPath.empty());
}

TEST(DatabaseSelection, TheExternalOptionPreparesTheDialogAndShowsTheStateFirst) {
  UpdateContext context;
  startUp(context);
  ScriptedDialog dialog({kLab7});
  std::string captionWhileOpen;
  int shownBeforeDialog = 0;
  dialog.onShow = [&] { captionWhileOpen = context.state.caption; };

  selectDatabase(kExternalOption, context, dialog, [&] {
    ++shownBeforeDialog;
    EXPECT_EQ(dialog.shows(), 0);
  });

  EXPECT_EQ(dialog.shows(), 1);
  EXPECT_EQ(shownBeforeDialog, 1);
  EXPECT_EQ(captionWhileOpen, kExternalCaption);
  EXPECT_EQ(dialog.title(), "Select external database file to update");
  EXPECT_EQ(dialog.filter(), "QX database files (*.mdb)|*.mdb");
  EXPECT_EQ(dialog.defaultExt(), ".mdb");
  EXPECT_EQ(dialog.initialDir(), "C:\\data_aco\\External");
}

struct ExternalCase {
  const char* name;
  std::string earlierChoice;  // empty: straight after start-up
  std::string answer;         // empty: cancelled
  std::string path;
  std::string caption;
  int selected;
  bool updateOffered;
};

void PrintTo(const ExternalCase& c, std::ostream* out) {
  *out << c.name;
}

class ExternalOption : public ::testing::TestWithParam<ExternalCase> {};

TEST_P(ExternalOption, TakesTheChosenFileOrLeavesNothingSelected) {
  const ExternalCase& c = GetParam();
  UpdateContext context;
  startUp(context);
  ScriptedDialog dialog;
  if (!c.earlierChoice.empty()) {
    dialog.answers = {c.earlierChoice};
    selectDatabase(kExternalOption, context, dialog, {});
  }
  dialog.answers = {c.answer};
  selectDatabase(kExternalOption, context, dialog, {});

  EXPECT_EQ(context.selectedPath, c.path);
  EXPECT_EQ(context.state.caption, c.caption);
  EXPECT_EQ(selectedOption(context.state), c.selected);
  EXPECT_EQ(visibleCommands(context.state), c.updateOffered
                                                ? (std::vector<int>{kExitWithoutUpdate, kUpdate})
                                                : (std::vector<int>{kExitWithoutUpdate}));
  EXPECT_TRUE(context.state.options[kSystemOption].enabled);
  EXPECT_TRUE(context.state.options[kExternalOption].enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, ExternalOption,
    ::testing::Values(
        ExternalCase{"FileAfterStartUp", "", kLab7, kLab7, kExternalCaption + kLab7, 1, true},
        ExternalCase{"CancelAfterStartUp", "", "", kSystem, kExternalCaption, -1, false},
        ExternalCase{"AnotherFile", kLab7, kOther, kOther, kExternalCaption + kOther, 1, true},
        ExternalCase{"CancelAfterAFile", kLab7, "", kLab7, kExternalCaption, -1, false},
        ExternalCase{"SystemFileByTheDialog", "", kSystem, kSystem, kExternalCaption + kSystem, 1,
                     true}),
    [](const auto& info) { return std::string(info.param.name); });

class SystemOptionAfterExternal : public ::testing::TestWithParam<std::string> {};

TEST_P(SystemOptionAfterExternal, RestoresTheSystemDatabase) {
  UpdateContext context;
  startUp(context);
  ScriptedDialog dialog({GetParam()});
  selectDatabase(kExternalOption, context, dialog, {});

  selectDatabase(kSystemOption, context, dialog, {});

  EXPECT_EQ(context.selectedPath, kSystem);
  EXPECT_EQ(context.state.caption, kSystemCaption);
  EXPECT_EQ(selectedOption(context.state), 0);
  EXPECT_EQ(visibleCommands(context.state), (std::vector<int>{kExitWithoutUpdate, kUpdate}));
  EXPECT_EQ(dialog.shows(), 1);
}

INSTANTIATE_TEST_SUITE_P(AfterAFileOrACancel, SystemOptionAfterExternal,
                         ::testing::Values(kLab7, std::string()));

class OtherOption : public ::testing::TestWithParam<int> {};

TEST_P(OtherOption, ChangesNothing) {
  UpdateContext context;
  startUp(context);
  ScriptedDialog dialog({kLab7});
  selectDatabase(kExternalOption, context, dialog, {});
  const DialogState before = context.state;

  selectDatabase(GetParam(), context, dialog, [] { ADD_FAILURE() << "nothing is to be shown"; });

  EXPECT_TRUE(context.state == before);
  EXPECT_EQ(context.selectedPath, kLab7);
  EXPECT_EQ(dialog.shows(), 1);
}

INSTANTIATE_TEST_SUITE_P(Indices, OtherOption, ::testing::Values(-1, 2, 9));

}  // namespace
}  // namespace korvane::workflow
