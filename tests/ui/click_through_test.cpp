// Update, the clean-ups, Close and Exit without update through the window's
// buttons, on databases built from the sample scripts.

#include "ui_tests.h"

#include <sqlite3.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QTest>
#include <stdexcept>

#include "db/script_builder.h"
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

// One number from a query, read with SQLite itself, not with our engine.
long long queryNumber(const std::filesystem::path& file, const char* sql) {
  sqlite3* handle = nullptr;
  if (sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(handle);
    throw std::runtime_error("cannot open " + file.string());
  }
  sqlite3_stmt* statement = nullptr;
  long long value = -1;
  if (sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW) {
    value = sqlite3_column_int64(statement, 0);
  }
  sqlite3_finalize(statement);
  sqlite3_close(handle);
  if (value < 0) throw std::runtime_error(std::string("query failed: ") + sql);
  return value;
}

bool hasStandardMaterials(const std::filesystem::path& file) {
  return queryNumber(file,
                     "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                     "name = 'Standard Materials'") > 0;
}

long long orphanedExperiments(const std::filesystem::path& file) {
  return queryNumber(file,
                     "SELECT count(*) FROM Experiments e WHERE NOT EXISTS (SELECT 1 FROM "
                     "Measurements m WHERE m.[Experiment Date] = e.[Experiment Date])");
}

long long experiments(const std::filesystem::path& file) {
  return queryNumber(file, "SELECT count(*) FROM Experiments");
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
  const std::filesystem::path system = w.prefix.dataFolder() / "QX_aco.mdb";
  const std::filesystem::path backup = w.prefix.dataFolder() / "Backup" / kBackupName;
  const std::filesystem::path working = w.prefix.dataFolder() / "Backup" / kWorkingName;
  const std::string old = readFile(system);

  w.click(w.command(kUpdate));

  QCOMPARE(fileNames(w.prefix.dataFolder() / "Backup"), (QStringList{kBackupName, kWorkingName}));
  QCOMPARE(readFile(backup), old);
  QCOMPARE(readFile(system), old);
  QVERIFY(!hasStandardMaterials(working));
  QCOMPARE(w.visibleCommands(), (std::vector<int>{0, 1, 10, 11}));
  QVERIFY(!frameEnabled(w));
  QVERIFY(instructions(w).startsWith(
      " The system database C:\\data_aco\\QX_aco.mdb has been succesfully updated.\n\n"
      " Press 'Delete Orphans'"));
  const long long beforeCleaning = experiments(working);
  QVERIFY(orphanedExperiments(working) > 0);

  w.click(w.command(kDeleteOrphans));

  QCOMPARE(w.visibleCommands(), (std::vector<int>{0, 1, 11}));
  QCOMPARE(orphanedExperiments(working), 0);
  QVERIFY(experiments(working) < beforeCleaning);
  QVERIFY(
      instructions(w).startsWith(" The database  C:\\data_aco\\QX_aco.mdb has been cleaned to:"));
  const long long cleaned = experiments(working);

  w.click(w.command(kClose));

  QVERIFY(!w.window->isVisible());
  QVERIFY(w.window->frame().closed());
  QCOMPARE(fileNames(w.prefix.dataFolder() / "Backup"), QStringList{kBackupName});
  QCOMPARE(readFile(backup), old);
  QVERIFY(readFile(system) != old);
  QVERIFY(!hasStandardMaterials(system));
  QCOMPARE(experiments(system), cleaned);
  QCOMPARE(orphanedExperiments(system), 0);
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
  const std::string chosenBefore = readFile(lab7 / "QX_aco.mdb");
  const std::string systemBefore = readFile(w.prefix.dataFolder() / "QX_aco.mdb");
  w.dialog->answers = {"C:\\data_aco\\External\\Lab7\\QX_aco.mdb"};

  w.click(w.option(workflow::kExternalOption));
  w.click(w.command(kUpdate));

  const std::filesystem::path working = w.prefix.dataFolder() / "External" / "Lab7_261207_0843.mdb";
  QVERIFY(std::filesystem::exists(working));
  QVERIFY(!hasStandardMaterials(working));
  QCOMPARE(readFile(lab7 / "QX_aco.mdb"), chosenBefore);
  QVERIFY(fileNames(w.prefix.dataFolder() / "Backup").isEmpty());
  QVERIFY(instructions(w).startsWith(" Press 'Delete Orphans'"));
  QCOMPARE(w.visibleCommands(), (std::vector<int>{0, 1, 10, 11}));

  w.click(w.command(kExitWithoutUpdate));

  QVERIFY(!w.window->isVisible());
  QVERIFY(!std::filesystem::exists(working));
  QCOMPARE(readFile(lab7 / "QX_aco.mdb"), chosenBefore);
  QCOMPARE(readFile(w.prefix.dataFolder() / "QX_aco.mdb"), systemBefore);
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
