// What the window's tests share: a fresh Wine-style prefix with the data
// folder, a file dialog that answers from a script, the window wired to the
// real file services and a fixed clock, and a few looks at the widgets.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QStringList>
#include <QTest>

#include "fs/clock.h"
#include "fs/file_services.h"
#include "fs/path_map.h"
#include "support/files.h"
#include "support/temp_prefix.h"
#include "ui/common_dialog.h"
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

// CommonDialog1 answering from a queue; an empty queue answers as Cancel.
class ScriptedDialog : public CommonDialog {
 public:
  void setTitle(const std::string& title) override { title_ = title; }
  void setFilter(const std::string& filter) override { filter_ = filter; }
  void setDefaultExt(const std::string& extension) override { defaultExt_ = extension; }
  void setInitialDir(const std::string& folder) override { initialDir_ = folder; }
  std::string showOpen() override;

  std::deque<std::string> answers;
  std::function<void()> onShow;  // runs while the dialog "is open"

  int shows() const { return shows_; }
  const std::string& title() const { return title_; }
  const std::string& filter() const { return filter_; }
  const std::string& defaultExt() const { return defaultExt_; }
  const std::string& initialDir() const { return initialDir_; }

 private:
  int shows_ = 0;
  std::string title_, filter_, defaultExt_, initialDir_;
};

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
