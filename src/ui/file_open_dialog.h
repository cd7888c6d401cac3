// The real CommonDialog1: a QFileDialog that speaks Windows paths.
//
// The folder going in is mapped onto this machine through the path map; the
// file coming back is mapped to Windows text the same way, so the rest of the
// program never sees a host path. The sidebar offers the prefix's drives.
#pragma once

#include <memory>
#include <string>

#include <QStringList>

#include "fs/path_map.h"
#include "workflow/common_dialog.h"

class QFileDialog;
class QWidget;

namespace korvane::ui {

class FileOpenDialog : public workflow::CommonDialog {
 public:
  // `parent` is the window the dialog is modal to and centred over.
  FileOpenDialog(const fs::PathMap& paths, QWidget* parent);
  ~FileOpenDialog() override;

  void setTitle(const std::string& title) override;
  void setFilter(const std::string& filter) override;
  void setDefaultExt(const std::string& extension) override;
  void setInitialDir(const std::string& windowsFolder) override;

  // Lists the drives mapped now in the sidebar, lets the window paint what is
  // pending, then runs the dialog. A chosen file that lies on no drive of the
  // prefix has no Windows name and counts as no choice.
  std::string showOpen() override;

  // The dialog itself, for tests that drive it.
  QFileDialog& widget() { return *dialog_; }

 private:
  const fs::PathMap& paths_;
  std::unique_ptr<QFileDialog> dialog_;
};

// Keeps Qt's file dialog from writing settings: it saves its history, last
// folder and view in the user's Qt settings (~/.config/QtProject.conf)
// whenever it is destroyed, even unopened, and the program has no settings
// to keep. Called once, before the first dialog is made; every later save of
// user settings in this process fails quietly and writes nothing.
void keepNoUserSettings();

// Qt name filters of a "description|pattern|..." filter: one entry per pair,
// the description followed by its patterns in parentheses unless it already
// ends with them ("QX database files (*.mdb)|*.mdb" gives one entry,
// "QX database files (*.mdb)").
QStringList nameFiltersOf(const std::string& filter);

}  // namespace korvane::ui
