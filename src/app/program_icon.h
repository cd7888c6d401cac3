// The program's icon, the same picture as its menu entry's.
#pragma once

#include <QIcon>

namespace korvane::app {

// The menu entry's SVG, compiled into the program, drawn at the sizes title
// bars, task bars and switchers ask for. Needs the QApplication.
QIcon programIcon();

}  // namespace korvane::app
