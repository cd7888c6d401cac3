// The real file dialog: what the program sets reaches the QFileDialog, and
// what the user picks comes back as Windows text.

#include "ui_tests.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "ui/file_open_dialog.h"
#include "ui_test_support.h"

namespace korvane::ui::testing {

namespace {

QString hostText(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

// Calls `whileOpen` with the file dialog once it is up.
void whenDialogOpens(const std::function<void(QFileDialog&)>& whileOpen) {
  QTimer::singleShot(10, [whileOpen] {
    if (auto* open = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      whileOpen(*open);
    } else {
      whenDialogOpens(whileOpen);  // not shown yet; the watchdog bounds the wait
    }
  });
}

// Shows the dialog and runs `whileOpen` on it; returns its answer. The
// watchdog closes it if `whileOpen` leaves it open.
std::string showAndAnswer(FileOpenDialog& dialog,
                          const std::function<void(QFileDialog&)>& whileOpen, bool& leftOpen) {
  ModalWatchdog watchdog;
  whenDialogOpens(whileOpen);
  const std::string answer = dialog.showOpen();
  leftOpen = watchdog.fired();
  return answer;
}

// Types `name` into the file name box, as the user does.
void typeFileName(QFileDialog& open, const QString& name) {
  auto* box = open.findChild<QLineEdit*>("fileNameEdit");
  QVERIFY(box);
  box->clear();
  QTest::keyClicks(box, name);
}

void prepare(FileOpenDialog& dialog) {
  dialog.setTitle("Select external database file to update");
  dialog.setDefaultExt(".mdb");
  dialog.setFilter("QX database files (*.mdb)|*.mdb");
  dialog.setInitialDir("C:\\data_aco\\External");
}

}  // namespace

void FileDialogTest::nameFiltersOfWindowsFilter_data() {
  QTest::addColumn<QString>("filter");
  QTest::addColumn<QStringList>("expected");
  QTest::newRow("program's filter")
      << "QX database files (*.mdb)|*.mdb" << QStringList{"QX database files (*.mdb)"};
  QTest::newRow("patterns added") << "Databases|*.mdb;*.mde"
                                  << QStringList{"Databases (*.mdb *.mde)"};
  QTest::newRow("two types") << "A (*.a)|*.a|B|*.b" << QStringList{"A (*.a)", "B (*.b)"};
  QTest::newRow("description without pattern") << "Lonely" << QStringList{};
  QTest::newRow("empty") << "" << QStringList{};
}

void FileDialogTest::nameFiltersOfWindowsFilter() {
  QFETCH(QString, filter);
  QFETCH(QStringList, expected);
  QCOMPARE(nameFiltersOf(filter.toStdString()), expected);
}

void FileDialogTest::settingsReachTheDialog() {
  TestPrefix prefix;
  const fs::PathMap paths(prefix.root());
  FileOpenDialog dialog(paths, nullptr);
  prepare(dialog);

  QString title, suffix, folder;
  QStringList filters;
  bool leftOpen = false;
  const std::string answer = showAndAnswer(
      dialog,
      [&](QFileDialog& open) {
        title = open.windowTitle();
        filters = open.nameFilters();
        suffix = open.defaultSuffix();
        folder = open.directory().absolutePath();
        open.reject();
      },
      leftOpen);

  QVERIFY2(!leftOpen, "CommonDialog1 was left open");
  QCOMPARE(answer, std::string());
  QCOMPARE(title, QString("Select external database file to update"));
  QCOMPARE(filters, QStringList{"QX database files (*.mdb)"});
  QCOMPARE(suffix, QString("mdb"));
  QCOMPARE(QFileInfo(folder).canonicalFilePath(),
           QFileInfo(hostText(prefix.dataFolder() / "External")).canonicalFilePath());
}

void FileDialogTest::chosenFileComesBackAsWindowsText_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("expected");
  QTest::newRow("full name") << "QX_aco.mdb"
                             << "C:\\data_aco\\External\\Lab7\\QX_aco.mdb";
  QTest::newRow("default suffix") << "QX_aco"
                                  << "C:\\data_aco\\External\\Lab7\\QX_aco.mdb";
  QTest::newRow("upper-case extension kept") << "Mixed.MDB"
                                             << "C:\\data_aco\\External\\Lab7\\Mixed.MDB";
}

void FileDialogTest::chosenFileComesBackAsWindowsText() {
  QFETCH(QString, typed);
  QFETCH(QString, expected);
  TestPrefix prefix;
  const std::filesystem::path lab7 = prefix.dataFolder() / "External" / "Lab7";
  std::filesystem::create_directories(lab7);
  writeFile(lab7 / "QX_aco.mdb", "db");
  writeFile(lab7 / "Mixed.MDB", "db");
  const fs::PathMap paths(prefix.root());
  FileOpenDialog dialog(paths, nullptr);
  prepare(dialog);
  dialog.setInitialDir("C:\\data_aco\\External\\Lab7");

  bool leftOpen = false;
  const std::string answer = showAndAnswer(
      dialog,
      [&](QFileDialog& open) {
        typeFileName(open, typed);
        QTest::keyClick(open.findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
      },
      leftOpen);

  QVERIFY2(!leftOpen, "CommonDialog1 was left open");
  QCOMPARE(answer, expected.toStdString());
  // The name box's completer list must not outlive the dialog and eat a click.
  QVERIFY(QApplication::activePopupWidget() == nullptr);
}

void FileDialogTest::fileOutsideEveryDriveIsNoChoice() {
  TestPrefix prefix;
  const std::filesystem::path stray = prefix.outside() / "a.mdb";
  writeFile(stray, "db");
  const fs::PathMap paths(prefix.root());  // drive C: only, no z:
  FileOpenDialog dialog(paths, nullptr);
  prepare(dialog);

  bool leftOpen = false;
  const std::string answer = showAndAnswer(
      dialog,
      [&](QFileDialog& open) {
        typeFileName(open, hostText(stray));
        static_cast<QDialog&>(open).accept();  // as the Open button does
      },
      leftOpen);

  QVERIFY2(!leftOpen, "CommonDialog1 was left open");
  QCOMPARE(answer, std::string());
}

}  // namespace korvane::ui::testing
