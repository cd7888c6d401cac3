// The window with the real workflow and engine on sample databases: buttons
// clicked, files checked on disk.
#pragma once

#include <QObject>

namespace korvane::ui::testing {

class ClickThroughTest : public QObject {
  Q_OBJECT

 private slots:
  void updateDeleteOrphansClose();
  void titleBarCloseAfterUpdateKeepsFiles();
  void externalUpdateThenExit();
  void busyPointerAroundEachAction_data();
  void busyPointerAroundEachAction();
};

}  // namespace korvane::ui::testing
