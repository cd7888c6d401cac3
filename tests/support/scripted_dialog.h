// CommonDialog1 answered from a script, for tests of the database selection
// and of the window: it records what it was asked and answers each showOpen
// with the next queued file name.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "workflow/common_dialog.h"

namespace korvane::support {

// An empty queue answers as Cancel.
class ScriptedDialog : public workflow::CommonDialog {
 public:
  ScriptedDialog() = default;
  explicit ScriptedDialog(std::deque<std::string> queued) : answers(std::move(queued)) {}

  void setTitle(const std::string& title) override { title_ = title; }
  void setFilter(const std::string& filter) override { filter_ = filter; }
  void setDefaultExt(const std::string& extension) override { defaultExt_ = extension; }
  void setInitialDir(const std::string& folder) override { initialDir_ = folder; }

  std::string showOpen() override {
    ++shows_;
    if (onShow) onShow();
    if (answers.empty()) return {};
    std::string answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }

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

}  // namespace korvane::support
