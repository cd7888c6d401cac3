// The program's icon, drawn from the SVG that the menu entry installs.
//
// Drawn here through Qt's SVG library rather than left to an icon plugin, so
// the package's dependencies, read from the program, include what draws it.
#include "app/program_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace korvane::app {

QIcon programIcon() {
  QSvgRenderer picture(QStringLiteral(":/icons/" KORVANE_APP_ID ".svg"));
  QIcon icon;
  if (!picture.isValid()) return icon;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    picture.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace korvane::app
