// frmKorvane: the program's one window.
//
// It renders the DialogState of its command frame whole after every change,
// turns each button press into one command click with the button's index and
// each option choice into one database selection, and closes when an action
// asks it to. It decides nothing of its own.
//
// It is a dialog to the desktop and to assistive technology (a screen reader
// announces it as one); Esc does not close it, as there is nothing to cancel.
//
// Control names: the window is "frmKorvane", the text box "txtInstructions",
// the group "Frame1". Controls of the indexed arrays are named after the array
// and their index ("cmdbutton_9", "Option1_0") and carry the index in the
// property "index" as well.
#pragma once

#include <map>
#include <memory>
#include <string>

#include <QDialog>

#include "workflow/command_frame.h"
#include "workflow/common_dialog.h"

class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace korvane::ui {

class KorvaneWindow : public QDialog {
  Q_OBJECT

 public:
  // Builds the window and runs start-up. Without `commonDialog` the window
  // uses the real file dialog on `services.paths`.
  explicit KorvaneWindow(workflow::Services services,
                         std::unique_ptr<workflow::CommonDialog> commonDialog = nullptr);
  ~KorvaneWindow() override;

  workflow::CommandFrame& frame() { return frame_; }

 signals:
  // The window has just shown the current DialogState.
  void rendered();

 public slots:
  // Esc: the window stays, and nothing is committed or discarded.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void orderTabs();
  void chooseReadableFont();
  bool captionsFit() const;

  void render();
  void renderInstructions(const std::string& text);
  void renderOptions();
  void clearOptions();

  void onCommandPressed(int index);
  void onOptionClicked(int index);
  void onCloseRequested();

  workflow::CommandFrame frame_;
  std::unique_ptr<workflow::CommonDialog> commonDialog_;
  QPlainTextEdit* txtInstructions_ = nullptr;
  QGroupBox* frame1_ = nullptr;
  QRadioButton* option1_[2] = {nullptr, nullptr};
  std::map<workflow::Command, QPushButton*> cmdbutton_;
  std::string shownInstructions_;
  bool closing_ = false;
};

}  // namespace korvane::ui
