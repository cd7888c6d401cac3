// The real CommonDialog1 on a QFileDialog.
#include "ui/file_open_dialog.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QSettings>

#include "fs/failure.h"
#include "ui/drive_sidebar.h"

namespace korvane::ui {

namespace {

QString hostText(const std::filesystem::path& hostPath) {
  return QFile::decodeName(QByteArray::fromStdString(hostPath.string()));
}

std::filesystem::path hostPathOf(const QString& text) {
  return std::filesystem::path(QFile::encodeName(text).toStdString());
}

// "*.mdb;*.accdb" (the separator Windows filters use) as "*.mdb *.accdb".
QString patternsOf(const QString& field) {
  QStringList patterns = field.split(u';', Qt::SkipEmptyParts);
  for (QString& pattern : patterns) pattern = pattern.trimmed();
  return patterns.join(u' ');
}

// The name box's completer list can outlive the dialog when the dialog is
// closed by Return; left open, it would swallow the next click on the window.
void closeLeftoverPopups() {
  for (QWidget* popup = QApplication::activePopupWidget(); popup && popup->close();
       popup = QApplication::activePopupWidget()) {
  }
}

}  // namespace

void keepNoUserSettings() {
  // A folder inside a file that is not a folder can never be made, so Qt
  // finds the settings file unwritable and gives up before it creates a
  // folder, a lock or a temporary file anywhere.
  const QString nowhere = QStringLiteral("/dev/null");
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
}

QStringList nameFiltersOf(const std::string& filter) {
  const QStringList fields = QString::fromStdString(filter).split(u'|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
    const QString description = fields[i].trimmed();
    const QString bracketed = u'(' + patternsOf(fields[i + 1]) + u')';
    entries << (description.endsWith(bracketed) ? description : description + u' ' + bracketed);
  }
  return entries;
}

FileOpenDialog::FileOpenDialog(const fs::PathMap& paths, QWidget* parent)
    : paths_(paths), dialog_(std::make_unique<QFileDialog>(parent)) {
  dialog_->setAcceptMode(QFileDialog::AcceptOpen);
  dialog_->setFileMode(QFileDialog::ExistingFile);
  // Qt's own dialog on every desktop: it honours the default suffix the same
  // way everywhere and can be driven by tests and scripted runs.
  dialog_->setOption(QFileDialog::DontUseNativeDialog);
  dialog_->setObjectName("CommonDialog1");
}

FileOpenDialog::~FileOpenDialog() = default;

void FileOpenDialog::setTitle(const std::string& title) {
  dialog_->setWindowTitle(QString::fromStdString(title));
}

void FileOpenDialog::setFilter(const std::string& filter) {
  dialog_->setNameFilters(nameFiltersOf(filter));
}

void FileOpenDialog::setDefaultExt(const std::string& extension) {
  QString suffix = QString::fromStdString(extension);
  if (suffix.startsWith(u'.')) suffix.remove(0, 1);
  dialog_->setDefaultSuffix(suffix);
}

void FileOpenDialog::setInitialDir(const std::string& windowsFolder) {
  std::filesystem::path folder;
  try {
    folder = paths_.toHost(windowsFolder);
  } catch (const Failure&) {
    return;  // the drive is not mapped: the dialog opens where it last was
  }
  // Through the drive link, so the dialog shows where the files really are.
  std::error_code ignored;
  const std::filesystem::path real = std::filesystem::weakly_canonical(folder, ignored);
  dialog_->setDirectory(hostText(real.empty() ? folder : real));
}

std::string FileOpenDialog::showOpen() {
  showDrivesInSidebar(*dialog_, paths_);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const int result = dialog_->exec();
  closeLeftoverPopups();
  if (result != QDialog::Accepted) return {};
  const QStringList chosen = dialog_->selectedFiles();
  if (chosen.isEmpty()) return {};
  try {
    return paths_.toWindows(hostPathOf(chosen.first()));
  } catch (const Failure&) {
    return {};  // outside every drive: no Windows name to update
  }
}

}  // namespace korvane::ui
