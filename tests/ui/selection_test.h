// Start-up and database selection on a bare context.
#pragma once

#include <QObject>

namespace korvane::ui::testing {

class SelectionTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpFillsInstructionsAndSelectsSystem();
  void externalOptionPreparesDialog();
  void externalOptionOutcome_data();
  void externalOptionOutcome();
  void systemOptionAfterExternalRestoresSystem_data();
  void systemOptionAfterExternalRestoresSystem();
  void otherIndexChangesNothing_data();
  void otherIndexChangesNothing();
};

}  // namespace korvane::ui::testing
