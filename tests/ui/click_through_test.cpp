// Update, the clean-ups, Close and Exit without update through the window's
// buttons, on databases built from the sample scripts: that each press
// reaches its action and the window shows what the action left. What the
// actions write into the files is the workflow tests' to check.

#include "ui_tests.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QTest>

#include "db/engine/script_builder.h"
#include "ui_test_support.h"
#include "workflow/dialog_state.h"

namespace korvane::ui::testing {

namespace {

using namespace workflow;

const std::filesystem::path kSamples = KORVANE_SAMPLES_DIR;
const char* const kBackupName = "QX_aco_261207_0843.mdb";
const char* const kWorkingName = "QX_aco_261207_0843_update.mdb";

// The old system database and the template in C:\data_aco.
void layOutDataFolder(const TestPrefix& prefix) {
  db::buildDatabaseFromScriptFile(prefix.dataFolder() / "QX_aco.mdb", kSamples / "old_system.sql");
  db::buildDatabaseFromScriptFile(prefix.dataFolder() / "QX_Std.mdb", kSamples / "template.sql");
}

QString instructions(const WindowOnPrefix& w) {
  return w.window->findChild<QPlainTextEdit*>("txtInstructions")->toPlainText();
}

bool frameEnabled(const WindowOnPrefix& w) {
  return w.window->findChild<QGroupBox*>("Frame1")->isEnabled();
}

}  // namespace

void ClickThroughTest::updateDeleteOrphansClose() {
  WindowOnPrefix w;
  layOutDataFolder(w.prefix);

  w.click(w.command(kUpdate));

  QCOMPARE(w.visibleCommands(), (std::vector<int>{0, 1, 10, 11}));
  QVERIFY(!frameEnabled(w));
  QVERIFY(instructions(w).startsWith(
      " The system database C:\\data_aco\\QX_aco.mdb has been succesfully updated.\n\n"
      " Press 'Delete Orphans'"));

  w.click(w.command(kDeleteOrphans));

  QCOMPARE(w.visibleCommands(), (std::vector<int>{0, 1, 11}));
  QVERIFY(
      instructions(w).startsWith(" The database  C:\\data_aco\\QX_aco.mdb has been cleaned to:"));

  w.click(w.command(kClose));

  QVERIFY(!w.window->isVisible());
  QVERIFY(w.window->frame().closed());
}

void ClickThroughTest::titleBarCloseAfterUpdateKeepsFiles() {
  WindowOnPrefix w;
  layOutDataFolder(w.prefix);
  const std::filesystem::path system = w.prefix.dataFolder() / "QX_aco.mdb";
  const std::string old = readFile(system);
  w.click(w.command(kUpdate));
  const std::string updated = readFile(w.prefix.dataFolder() / "Backup" / kWorkingName);

  QVERIFY(w.window->close());

  QVERIFY(!w.window->isVisible());
  QVERIFY(!w.window->frame().closed());  // no action ran
  QCOMPARE(readFile(system), old);
  QCOMPARE(fileNames(w.prefix.dataFolder() / "Backup"), (QStringList{kBackupName, kWorkingName}));
  QCOMPARE(readFile(w.prefix.dataFolder() / "Backup" / kWorkingName), updated);
}

void ClickThroughTest::externalUpdateThenExit() {
  WindowOnPrefix w;
  layOutDataFolder(w.prefix);
  const std::filesystem::path lab7 = w.prefix.dataFolder() / "External" / "Lab7";
  std::filesystem::create_directories(lab7);
  std::filesystem::copy_file(w.prefix.dataFolder() / "QX_aco.mdb", lab7 / "QX_aco.mdb");
  w.dialog->answers = {"C:\\data_aco\\External\\Lab7\\QX_aco.mdb"};

  w.click(w.option(workflow::kExternalOption));
  w.click(w.command(kUpdate));

  QCOMPARE(w.window->windowTitle(),
           QString("Update external database, C:\\data_aco\\External\\Lab7\\QX_aco.mdb"));
  QVERIFY(instructions(w).startsWith(" Press 'Delete Orphans'"));
  QCOMPARE(w.visibleCommands(), (std::vector<int>{0, 1, 10, 11}));
  const std::filesystem::path working = w.prefix.dataFolder() / "External" / "Lab7_261207_0843.mdb";
  QVERIFY(std::filesystem::exists(working));

  w.click(w.command(kExitWithoutUpdate));

  QVERIFY(!w.window->isVisible());
  QVERIFY(w.window->frame().closed());
  QVERIFY(!std::filesystem::exists(working));
}

void ClickThroughTest::busyPointerAroundEachAction_data() {
  QTest::addColumn<bool>("withTemplate");
  QTest::newRow("completed update") << true;
  QTest::newRow("update stopped by a missing template") << false;
}

void ClickThroughTest::busyPointerAroundEachAction() {
  QFETCH(bool, withTemplate);
  WindowOnPrefix w;
  layOutDataFolder(w.prefix);
  if (!withTemplate) std::filesystem::remove(w.prefix.dataFolder() / "QX_Std.mdb");
  int busyRenders = 0;
  int waitCursorWhileBusy = 0;
  QObject::connect(w.window.get(), &KorvaneWindow::rendered, [&] {
    if (w.window->frame().state().pointer != Pointer::kBusy) return;
    ++busyRenders;
    const QCursor* shown = QApplication::overrideCursor();
    if (shown && shown->shape() == Qt::WaitCursor && w.window->cursor().shape() == Qt::WaitCursor) {
      ++waitCursorWhileBusy;
    }
  });

  w.click(w.command(kUpdate));

  QVERIFY(busyRenders > 0);
  QCOMPARE(waitCursorWhileBusy, busyRenders);
  QVERIFY(QApplication::overrideCursor() == nullptr);
  QCOMPARE(w.window->cursor().shape(), Qt::ArrowCursor);
  QCOMPARE(w.command(kUpdate)->isVisible(), !withTemplate);
  QCOMPARE(w.command(kClose)->isVisible(), withTemplate);
}

}  // namespace korvane::ui::testing
