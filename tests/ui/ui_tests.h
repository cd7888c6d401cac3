// The groups of the window's tests, one Qt Test class each; main.cpp runs
// the group CTest names.
#pragma once

#include <QObject>

namespace korvane::ui::testing {

// frmKorvane on its own: controls, start-up, rendering, the database choice
// by mouse, and leaving before any Update.
class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpShowsSystemChoice();
  void controlsAsDrawn_data();
  void controlsAsDrawn();
  void tabOrderFollowsTheColumn();
  void renderShowsEveryField();
  void fixedDialog();
  void everyCaptionFitsItsControl();
  void externalChoiceByMouse();
  void cancelledDialogLeavesNothingChosen();
  void closeNeverShownBeforeUpdate();
  void exitRightAfterStartUpDeletesNothing();
};

// The real CommonDialog1 (a QFileDialog), answered on a timer.
class FileDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void nameFiltersOfWindowsFilter_data();
  void nameFiltersOfWindowsFilter();
  void settingsReachTheDialog();
  void chosenFileComesBackAsWindowsText_data();
  void chosenFileComesBackAsWindowsText();
  void fileOutsideEveryDriveIsNoChoice();
  void sidebarListsExactlyTheMappedDrives();
  void choosingThroughDriveDGivesDText_data();
  void choosingThroughDriveDGivesDText();
};

// The window with the real workflow and engine on sample databases: buttons
class ClickThroughTest : public QObject {
  Q_OBJECT

 private slots:
  void updateDeleteOrphansClose();
  void titleBarCloseAfterUpdateKeepsFiles();
  void externalUpdateThenExit();
  void busyPointerAroundEachAction_data();
  void busyPointerAroundEachAction();
};

// frmKorvane as the desktop and assistive technology meet it: a dialog
// that Esc does not close.
class DesktopTest : public QObject {
  Q_OBJECT

 private slots:
  void reachesAssistiveTechnologyAsADialog();
  void escapeLeavesTheWindowOpen_data();
  void escapeLeavesTheWindowOpen();
  void closeBoxStillEndsWithoutAnAction();
};

}  // namespace korvane::ui::testing
