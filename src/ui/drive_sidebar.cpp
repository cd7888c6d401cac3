// The drives in the file dialog's sidebar.
//
// Qt's dialog names a sidebar place after its folder ("drive_c", "/") and
// renames it whenever it reloads that folder, so the drive names are put back
// each time the sidebar's model changes. The places are matched to their rows
// through the dialog's own list of sidebar URLs, which follows the rows.
#include "ui/drive_sidebar.h"

#include <QAbstractFileIconProvider>
#include <QAbstractItemView>
#include <QFile>
#include <QFileDialog>
#include <QVariantMap>

namespace korvane::ui {

namespace {

// The dynamic property of the sidebar that holds the names by URL.
constexpr char kDriveNames[] = "korvaneDriveNames";

// Names and marks the drives' places. `driveIcon` is one icon object, so that
// a place already showing it is left alone (comparing by cache key).
void nameDrives(const QFileDialog& dialog, QAbstractItemView& sidebar, const QIcon& driveIcon) {
  QAbstractItemModel* places = sidebar.model();
  const QVariantMap names = sidebar.property(kDriveNames).toMap();
  const QList<QUrl> urls = dialog.sidebarUrls();
  for (int row = 0; row < places->rowCount() && row < urls.size(); ++row) {
    const QVariant name = names.value(urls[row].toString());
    if (!name.isValid()) continue;
    const QModelIndex place = places->index(row, 0);
    if (place.data(Qt::DisplayRole) != name) places->setData(place, name, Qt::DisplayRole);
    const QIcon shown = place.data(Qt::DecorationRole).value<QIcon>();
    if (!driveIcon.isNull() && shown.cacheKey() != driveIcon.cacheKey()) {
      places->setData(place, driveIcon, Qt::DecorationRole);
    }
  }
}

}  // namespace

void showDrivesInSidebar(QFileDialog& dialog, const fs::PathMap& paths) {
  QList<QUrl> urls;
  QVariantMap names;
  for (const fs::PathMap::Drive& drive : paths.drives()) {
    const QUrl url =
        QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(drive.folder.string())));
    urls << url;
    names.insert(url.toString(), QString(QChar(drive.letter)) + u':');
  }
  dialog.setSidebarUrls(urls);

  auto* sidebar = dialog.findChild<QAbstractItemView*>("sidebar");
  if (sidebar == nullptr || sidebar->model() == nullptr) return;  // places keep Qt's names
  const bool watching = sidebar->property(kDriveNames).isValid();
  sidebar->setProperty(kDriveNames, names);
  const QAbstractFileIconProvider* icons = dialog.iconProvider();
  const QIcon driveIcon = icons ? icons->icon(QAbstractFileIconProvider::Drive) : QIcon();
  nameDrives(dialog, *sidebar, driveIcon);
  if (watching) return;
  QAbstractItemModel* places = sidebar->model();
  const auto rename = [&dialog, sidebar, driveIcon] { nameDrives(dialog, *sidebar, driveIcon); };
  QObject::connect(places, &QAbstractItemModel::dataChanged, sidebar, rename);
  QObject::connect(places, &QAbstractItemModel::rowsInserted, sidebar, rename);
}

}  // namespace korvane::ui
