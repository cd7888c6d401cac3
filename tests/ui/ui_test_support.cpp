// Shared pieces of the window's tests.
#include "ui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "workflow/dialog_state.h"

namespace korvane::ui::testing {

TestPrefix::TestPrefix() {
  std::filesystem::create_directories(dataFolder() / "Backup");
  std::filesystem::create_directories(dataFolder() / "External");
}

WindowOnPrefix::WindowOnPrefix()
    : paths(prefix.root()), files(paths), clock(fs::LocalTime{2026, 12, 7, 8, 43, 10}) {
  auto scripted = std::make_unique<ScriptedDialog>();
  dialog = scripted.get();
  window =
      std::make_unique<KorvaneWindow>(workflow::Services{files, clock, paths}, std::move(scripted));
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) throw std::runtime_error("window not exposed");
}

WindowOnPrefix::~WindowOnPrefix() = default;

QAbstractButton* WindowOnPrefix::command(int index) const {
  return window->findChild<QAbstractButton*>(QStringLiteral("cmdbutton_%1").arg(index));
}

QAbstractButton* WindowOnPrefix::option(int index) const {
  return window->findChild<QAbstractButton*>(QStringLiteral("Option1_%1").arg(index));
}

std::vector<int> WindowOnPrefix::visibleCommands() const {
  std::vector<int> shown;
  for (int index : {0, 1, 9, 10, 11}) {
    if (command(index) && command(index)->isVisible()) shown.push_back(index);
  }
  return shown;
}

void WindowOnPrefix::click(QAbstractButton* button) const {
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}

ModalWatchdog::ModalWatchdog(int milliseconds) : timer_(new QTimer) {
  timer_->setSingleShot(true);
  QObject::connect(timer_, &QTimer::timeout, [this] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      fired_ = true;
      dialog->reject();
    }
  });
  timer_->start(milliseconds);
}

ModalWatchdog::~ModalWatchdog() {
  delete timer_;
}

QStringList fileNames(const std::filesystem::path& folder) {
  QStringList names;
  for (const std::string& name : support::entriesOf(folder)) names << QString::fromStdString(name);
  return names;
}

}  // namespace korvane::ui::testing
