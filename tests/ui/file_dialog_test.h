// The real CommonDialog1 (a QFileDialog), answered on a timer.
#pragma once

#include <QObject>

namespace korvane::ui::testing {

class FileDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void nameFiltersOfWindowsFilter_data();
  void nameFiltersOfWindowsFilter();
  void settingsReachTheDialog();
  void chosenFileComesBackAsWindowsText_data();
  void chosenFileComesBackAsWindowsText();
  void fileOutsideEveryDriveIsNoChoice();
};

}  // namespace korvane::ui::testing
