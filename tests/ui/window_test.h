// frmKorvane on its own: controls, start-up, the database choice by mouse,
// and leaving before any Update.
#pragma once

#include <QObject>

namespace korvane::ui::testing {

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpShowsSystemChoice();
  void controlsAsDrawn_data();
  void controlsAsDrawn();
  void tabOrderFollowsTheColumn();
  void fixedDialog();
  void everyCaptionFitsItsControl();
  void externalChoiceByMouse();
  void cancelledDialogLeavesNothingChosen();
  void closeNeverShownBeforeUpdate();
  void exitRightAfterStartUpDeletesNothing();
};

}  // namespace korvane::ui::testing
