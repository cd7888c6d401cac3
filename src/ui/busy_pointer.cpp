// The busy pointer guard.
#include "ui/busy_pointer.h"

#include <QApplication>
#include <QCursor>

namespace korvane::ui {

BusyPointer::BusyPointer() {
  QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  // Synchronous work follows; without this the cursor shows only after it.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

BusyPointer::~BusyPointer() {
  QApplication::restoreOverrideCursor();
}

}  // namespace korvane::ui
