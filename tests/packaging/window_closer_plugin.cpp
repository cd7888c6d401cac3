// A Qt plugin that the package's start test loads into the installed program
// (QT_QPA_GENERIC_PLUGINS=korvane-window-closer), which has no test hooks of
// its own. Once the program's window has been shown for a moment, it prints
// what the desktop sees of it (title, icon, application id) and closes it the
// way the window manager's close button does.
#include <QGenericPlugin>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QTimer>
#include <QWindow>
#include <cstdio>

namespace {

// How long the window stays up before it is closed: start-up has finished.
constexpr int kShownMilliseconds = 500;

// True when the icon drawn at `size` pixels has visible pixels.
bool drawnAt(const QIcon& icon, int size) {
  const QImage image = icon.pixmap(size, size).toImage();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(image.pixel(x, y)) > 0) return true;
    }
  }
  return false;
}

QWindow* shownWindow() {
  for (QWindow* window : QGuiApplication::topLevelWindows()) {
    if (window->isVisible() && window->isExposed()) return window;
  }
  return nullptr;
}

class WindowCloser : public QObject {
 public:
  WindowCloser() { QTimer::singleShot(50, this, &WindowCloser::poll); }

 private:
  void poll() {
    QWindow* window = shownWindow();
    if (window == nullptr) {
      QTimer::singleShot(50, this, &WindowCloser::poll);
      return;
    }
    QTimer::singleShot(kShownMilliseconds, this, [this] { closeShown(); });
  }

  void closeShown() {
    QWindow* window = shownWindow();
    if (window == nullptr) return;  // gone by itself: the test sees no report
    std::printf("window: %s\n", qPrintable(window->title()));
    std::printf("application id: %s\n", qPrintable(QGuiApplication::desktopFileName()));
    for (const int size : {16, 32, 64}) {
      std::printf("icon %d: %s\n", size, drawnAt(window->icon(), size) ? "drawn" : "missing");
    }
    std::fflush(stdout);
    window->close();
  }
};

class WindowCloserPlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "window_closer.json")

 public:
  QObject* create(const QString&, const QString&) override { return new WindowCloser; }
};

}  // namespace

#include "window_closer_plugin.moc"
