// korvane: the program entry. Opens the window on the real files and clock;
// the prefix comes from WINEPREFIX (or ~/.wine), as Wine finds it. The
// program ends when the window closes. It names itself with its menu entry's
// id and wears the entry's icon, so the desktop ties the window to the entry.
#include <QApplication>

#include "app/program_icon.h"
#include "fs/clock.h"
#include "fs/file_services.h"
#include "fs/path_map.h"
#include "ui/file_open_dialog.h"
#include "ui/korvane_window.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvane"));
  QGuiApplication::setDesktopFileName(QStringLiteral(KORVANE_APP_ID));
  QApplication::setWindowIcon(korvane::app::programIcon());
  // A run writes only the files the workflow names.
  korvane::ui::keepNoUserSettings();

  const korvane::fs::PathMap paths = korvane::fs::PathMap::fromEnvironment();
  korvane::fs::HostFileServices files(paths);
  const korvane::fs::SystemClock clock;

  korvane::ui::KorvaneWindow window({files, clock, paths});
  window.show();
  return QApplication::exec();
}
