// The real file dialog: what the program sets reaches the QFileDialog, and
// what the user picks comes back as Windows text.

#include "ui_tests.h"

#include <QAbstractItemView>
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

// Types `name` into the file name box, as the user does: into the box with
// the focus, for while the box lacks it the dialog writes the name of a file
// its list selects (as it follows what is typed) into the box.
void typeFileName(QFileDialog& open, const QString& name) {
  auto* box = open.findChild<QLineEdit*>("fileNameEdit");
  QVERIFY(box);
  QVERIFY(QTest::qWaitForWindowActive(&open));
  box->setFocus();
  QTRY_VERIFY(box->hasFocus());
  box->clear();
  QTest::keyClicks(box, name);
}

// The sidebar's places, name and folder, as the dialog shows them.
using Places = QList<std::pair<QString, QString>>;
Places placesIn(const QFileDialog& open) {
  Places places;
  const auto* sidebar = open.findChild<QAbstractItemView*>("sidebar");
  if (sidebar == nullptr) return places;
  const QList<QUrl> urls = open.sidebarUrls();
  for (int row = 0; row < sidebar->model()->rowCount(); ++row) {
    const QString name = sidebar->model()->index(row, 0).data().toString();
    places.append({name, row < urls.size() ? urls[row].toLocalFile() : QString()});
  }
  return places;
}

// Clicks the sidebar's place named `name`, as the user does.
void clickPlace(QFileDialog& open, const QString& name) {
  auto* sidebar = open.findChild<QAbstractItemView*>("sidebar");
  QVERIFY2(sidebar, "the dialog has no sidebar");
  for (int row = 0; row < sidebar->model()->rowCount(); ++row) {
    const QModelIndex place = sidebar->model()->index(row, 0);
    if (place.data().toString() != name) continue;
    QTest::mouseClick(sidebar->viewport(), Qt::LeftButton, {}, sidebar->visualRect(place).center());
    return;
  }
  QFAIL(qPrintable("no place named " + name));
}

QString canonicalText(const std::filesystem::path& folder) {
  return QFileInfo(hostText(folder)).canonicalFilePath();
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

void FileDialogTest::sidebarListsExactlyTheMappedDrives() {
  TestPrefix prefix;
  const std::filesystem::path dosdevices = prefix.root() / "dosdevices";
  const std::filesystem::path shareFolder = prefix.outside() / "share";
  std::filesystem::create_directory(shareFolder);
  prefix.mapDrive("d:", shareFolder);
  prefix.mapDrive("z:", "/");
  // No drives: a link to nothing, a file, Wine's device entries.
  std::filesystem::create_directory_symlink(shareFolder / "gone", dosdevices / "e:");
  writeFile(dosdevices / "f:", "not a folder");
  std::filesystem::create_directory_symlink("/dev", dosdevices / "c::");
  std::filesystem::create_directory_symlink("/dev", dosdevices / "com1");
  const fs::PathMap paths(prefix.root());
  FileOpenDialog dialog(paths, nullptr);
  prepare(dialog);

  // Qt renames a place after its folder when it loads that folder: the names
  // must hold once the dialog has settled.
  const auto placesOnceSettled = [&] {
    Places shown, settled;
    bool leftOpen = false;
    showAndAnswer(
        dialog,
        [&](QFileDialog& open) {
          shown = placesIn(open);
          QTest::qWait(300);
          settled = placesIn(open);
          open.reject();
        },
        leftOpen);
    if (leftOpen || shown != settled) return Places{{"changed while open", {}}};
    return settled;
  };

  const Places all{
      {"C:", canonicalText(prefix.driveC())}, {"D:", canonicalText(shareFolder)}, {"Z:", "/"}};
  QCOMPARE(placesOnceSettled(), all);

  // Each showing lists the drives mapped then.
  std::filesystem::remove(dosdevices / "d:");
  const Places withoutD{{"C:", canonicalText(prefix.driveC())}, {"Z:", "/"}};
  QCOMPARE(placesOnceSettled(), withoutD);
}

void FileDialogTest::choosingThroughDriveDGivesDText_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("expected");
  QTest::newRow("at the drive's root") << "QX_aco.mdb"
                                       << "D:\\QX_aco.mdb";
  QTest::newRow("in a folder of the drive") << "Lab9/QX_aco.mdb"
                                            << "D:\\Lab9\\QX_aco.mdb";
}

void FileDialogTest::choosingThroughDriveDGivesDText() {
  QFETCH(QString, typed);
  QFETCH(QString, expected);
  TestPrefix prefix;
  const std::filesystem::path shareFolder = prefix.outside() / "share";
  std::filesystem::create_directories(shareFolder / "Lab9");
  writeFile(shareFolder / "QX_aco.mdb", "db");
  writeFile(shareFolder / "Lab9" / "QX_aco.mdb", "db");
  prefix.mapDrive("d:", shareFolder);
  const fs::PathMap paths(prefix.root());
  FileOpenDialog dialog(paths, nullptr);
  prepare(dialog);

  QString folderAfterClick;
  bool leftOpen = false;
  const std::string answer = showAndAnswer(
      dialog,
      [&](QFileDialog& open) {
        clickPlace(open, "D:");
        folderAfterClick = open.directory().absolutePath();
        typeFileName(open, typed);
        QTest::keyClick(open.findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
      },
      leftOpen);

  QVERIFY2(!leftOpen, "CommonDialog1 was left open");
  QCOMPARE(QFileInfo(folderAfterClick).canonicalFilePath(), canonicalText(shareFolder));
  QCOMPARE(answer, expected.toStdString());
}

}  // namespace korvane::ui::testing
