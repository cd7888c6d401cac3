// A Qt plugin that the package's start checks load into the installed
// program (QT_QPA_GENERIC_PLUGINS=korvane-window-closer), which has no test
// hooks of its own. Once the program's window has been shown for a moment,
// it presses the button named by KORVANE_WINDOW_CLOSER_PRESS (its object
// name), if any, as a click does, prints what the desktop sees of the window
// (title, icon, application id) and what its instructions say, and closes it
// the way the window manager's close button does.
#include <QAbstractButton>
#include <QApplication>
#include <QGenericPlugin>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

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

template <typename Widget>
Widget* widgetNamed(const QString& name) {
  for (QWidget* widget : QApplication::allWidgets()) {
    if (auto* found = qobject_cast<Widget*>(widget); found && found->objectName() == name) {
      return found;
    }
  }
  return nullptr;
}

// Presses the button KORVANE_WINDOW_CLOSER_PRESS names; the program runs
// what it starts before click() returns.
void pressAsked() {
  const char* name = std::getenv("KORVANE_WINDOW_CLOSER_PRESS");
  if (name == nullptr || *name == '\0') return;
  auto* button = widgetNamed<QAbstractButton>(QString::fromUtf8(name));
  if (button == nullptr) {
    std::printf("no button %s\n", name);
    return;
  }
  button->click();
  std::printf("pressed: %s\n", name);
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
    pressAsked();
    std::printf("window: %s\n", qPrintable(window->title()));
    std::printf("application id: %s\n", qPrintable(QGuiApplication::desktopFileName()));
    for (const int size : {16, 32, 64}) {
      std::printf("icon %d: %s\n", size, drawnAt(window->icon(), size) ? "drawn" : "missing");
    }
    if (auto* instructions = widgetNamed<QPlainTextEdit>(QStringLiteral("txtInstructions"))) {
      for (const QString& line : instructions->toPlainText().split(u'\n')) {
        std::printf("instructions: %s\n", qPrintable(line));
      }
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
