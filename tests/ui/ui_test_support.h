// What the window's tests share: a fresh Wine-style prefix with the data
// folder, a file dialog that answers from a script, the window wired to the
// real file services and a fixed clock, and a few looks at the widgets.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QStringList>
#include <QTest>

#include "fs/clock.h"
#include "fs/file_services.h"
#include "fs/path_map.h"
#include "support/files.h"
#include "support/scripted_dialog.h"
#include "support/temp_prefix.h"
#include "ui/korvane_window.h"

// Plain strings print their value when a comparison fails.
namespace QTest {
template <>
inline char* toString(const std::string& text) {
  return qstrdup(text.c_str());
}
}  // namespace QTest

class QAbstractButton;
class QTimer;

namespace korvane::ui::testing {

// A fresh prefix whose drive C: holds the folders data_aco, data_aco\Backup
// and data_aco\External. Removed with its files when destroyed.
class TestPrefix : public support::TempPrefix {
 public:
  TestPrefix();

  std::filesystem::path dataFolder() const { return driveC() / "data_aco"; }
};

using support::ScriptedDialog;

// A window on a fresh prefix, shown, with a scripted dialog and the clock
// fixed at 7 December 2026, 08:43 (stamp 261207_0843).
struct WindowOnPrefix {
  WindowOnPrefix();
  ~WindowOnPrefix();

  TestPrefix prefix;
  fs::PathMap paths;
  fs::HostFileServices files;
  fs::FixedClock clock;
  ScriptedDialog* dialog = nullptr;  // owned by the window
  std::unique_ptr<KorvaneWindow> window;

  QAbstractButton* command(int index) const;
  QAbstractButton* option(int index) const;
  // Indices of the command buttons shown, ascending.
  std::vector<int> visibleCommands() const;
  void click(QAbstractButton* button) const;
};

// Closes a modal dialog that a test left open, so the test fails instead of
// hanging until its timeout.
class ModalWatchdog {
 public:
  explicit ModalWatchdog(int milliseconds = 10000);
  ~ModalWatchdog();
  // True when it had to close a dialog.
  bool fired() const { return fired_; }

 private:
  QTimer* timer_;
  bool fired_ = false;
};

using support::readFile;
using support::writeFile;

// Names of the files in `folder`, sorted.
QStringList fileNames(const std::filesystem::path& folder);

}  // namespace korvane::ui::testing
