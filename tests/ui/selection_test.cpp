// The start-up steps and the database selection, on a bare context: what the
// choice does to selectedPath, the caption, the commands and the options, and
// what it asks of CommonDialog1.
#include "ui_tests.h"

#include <QTest>

#include "ui/database_selection.h"
#include "ui/start_up.h"
#include "ui_test_support.h"
#include "workflow/dialog_state.h"

namespace korvane::ui::testing {

namespace {

using workflow::UpdateContext;

const std::string kSystem = "C:\\data_aco\\QX_aco.mdb";
const std::string kLab7 = "D:\\Lab7\\QX_aco.mdb";
const std::string kOther = "E:\\x\\mydata.mdb";

std::vector<int> visibleCommands(const workflow::DialogState& state) {
  std::vector<int> shown;
  for (int index : {0, 1, 9, 10, 11}) {
    if (state.command(index).visible) shown.push_back(index);
  }
  return shown;
}

// 0 and 1 for the selected options, -1 for none.
int selectedOption(const workflow::DialogState& state) {
  if (state.options[0].selected && state.options[1].selected) return 2;
  if (state.options[0].selected) return 0;
  if (state.options[1].selected) return 1;
  return -1;
}

}  // namespace

void SelectionTest::startUpFillsInstructionsAndSelectsSystem() {
  UpdateContext context;
  ScriptedDialog dialog;
  startUp(context, dialog);

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
  QCOMPARE(context.state.instructions, expected);
  QCOMPARE(context.dataFolder, std::string("C:\\data_aco\\"));
  QCOMPARE(context.selectedPath, kSystem);
  QCOMPARE(context.state.caption, "Update system database, " + kSystem);
  QCOMPARE(visibleCommands(context.state), (std::vector<int>{1, 9}));
  QCOMPARE(selectedOption(context.state), 0);
  QVERIFY(context.state.frameEnabled);
  QVERIFY(context.workingPath.empty());
  QCOMPARE(dialog.shows(), 0);
}

void SelectionTest::externalOptionPreparesDialog() {
  UpdateContext context;
  ScriptedDialog dialog;
  startUp(context, dialog);
  std::string captionWhileOpen;
  int shownBeforeDialog = 0;
  dialog.onShow = [&] { captionWhileOpen = context.state.caption; };
  dialog.answers = {kLab7};

  selectDatabase(workflow::kExternalOption, context, dialog, [&] {
    ++shownBeforeDialog;
    QCOMPARE(dialog.shows(), 0);
  });

  QCOMPARE(dialog.shows(), 1);
  QCOMPARE(shownBeforeDialog, 1);
  QCOMPARE(captionWhileOpen, std::string("Update external database, "));
  QCOMPARE(dialog.title(), std::string("Select external database file to update"));
  QCOMPARE(dialog.filter(), std::string("QX database files (*.mdb)|*.mdb"));
  QCOMPARE(dialog.defaultExt(), std::string(".mdb"));
  QCOMPARE(dialog.initialDir(), std::string("C:\\data_aco\\External"));
}

void SelectionTest::externalOptionOutcome_data() {
  QTest::addColumn<QString>("earlierChoice");  // empty: straight after start-up
  QTest::addColumn<QString>("answer");         // empty: cancelled
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<int>("selected");
  QTest::addColumn<bool>("updateOffered");

  const QString system = QString::fromStdString(kSystem);
  const QString lab7 = QString::fromStdString(kLab7);
  const QString other = QString::fromStdString(kOther);
  const QString external = "Update external database, ";
  QTest::newRow("file after start-up") << "" << lab7 << lab7 << external + lab7 << 1 << true;
  QTest::newRow("cancel after start-up") << ""
                                         << "" << system << external << -1 << false;
  QTest::newRow("another file") << lab7 << other << other << external + other << 1 << true;
  QTest::newRow("cancel after a file") << lab7 << "" << lab7 << external << -1 << false;
  QTest::newRow("system file by the dialog")
      << "" << system << system << external + system << 1 << true;
}

void SelectionTest::externalOptionOutcome() {
  QFETCH(QString, earlierChoice);
  QFETCH(QString, answer);
  QFETCH(QString, path);
  QFETCH(QString, caption);
  QFETCH(int, selected);
  QFETCH(bool, updateOffered);

  UpdateContext context;
  ScriptedDialog dialog;
  startUp(context, dialog);
  if (!earlierChoice.isEmpty()) {
    dialog.answers = {earlierChoice.toStdString()};
    selectDatabase(workflow::kExternalOption, context, dialog, {});
  }
  dialog.answers = {answer.toStdString()};
  selectDatabase(workflow::kExternalOption, context, dialog, {});

  QCOMPARE(context.selectedPath, path.toStdString());
  QCOMPARE(context.state.caption, caption.toStdString());
  QCOMPARE(selectedOption(context.state), selected);
  QCOMPARE(visibleCommands(context.state),
           updateOffered ? (std::vector<int>{1, 9}) : (std::vector<int>{1}));
  QVERIFY(context.state.options[0].enabled);
  QVERIFY(context.state.options[1].enabled);
}

void SelectionTest::systemOptionAfterExternalRestoresSystem_data() {
  QTest::addColumn<QString>("answer");
  QTest::newRow("after a file") << QString::fromStdString(kLab7);
  QTest::newRow("after a cancel") << QString();
}

void SelectionTest::systemOptionAfterExternalRestoresSystem() {
  QFETCH(QString, answer);
  UpdateContext context;
  ScriptedDialog dialog;
  startUp(context, dialog);
  dialog.answers = {answer.toStdString()};
  selectDatabase(workflow::kExternalOption, context, dialog, {});

  selectDatabase(workflow::kSystemOption, context, dialog, {});

  QCOMPARE(context.selectedPath, kSystem);
  QCOMPARE(context.state.caption, "Update system database, " + kSystem);
  QCOMPARE(selectedOption(context.state), 0);
  QCOMPARE(visibleCommands(context.state), (std::vector<int>{1, 9}));
  QCOMPARE(dialog.shows(), 1);
}

void SelectionTest::otherIndexChangesNothing_data() {
  QTest::addColumn<int>("index");
  QTest::newRow("-1") << -1;
  QTest::newRow("2") << 2;
  QTest::newRow("9") << 9;
}

void SelectionTest::otherIndexChangesNothing() {
  QFETCH(int, index);
  UpdateContext context;
  ScriptedDialog dialog;
  startUp(context, dialog);
  dialog.answers = {kLab7};
  selectDatabase(workflow::kExternalOption, context, dialog, {});
  const workflow::DialogState before = context.state;

  selectDatabase(index, context, dialog, [] { QFAIL("nothing is to be shown"); });

  QVERIFY(context.state == before);
  QCOMPARE(context.selectedPath, kLab7);
  QCOMPARE(dialog.shows(), 1);
}

}  // namespace korvane::ui::testing
