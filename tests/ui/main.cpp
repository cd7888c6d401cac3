// korvane_ui_tests GROUP [Qt Test options]: runs one group of the window's
// tests (window, file_dialog, click_through, desktop) in one QApplication.
#include <QApplication>
#include <QTest>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/file_open_dialog.h"
#include "ui_tests.h"

namespace {

using Group = std::function<std::unique_ptr<QObject>()>;

template <typename T>
Group group() {
  return [] { return std::make_unique<T>(); };
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // The file dialog's history and places stay out of the user's settings and
  // out of the next group's.
  korvane::ui::keepNoUserSettings();
  using namespace korvane::ui::testing;
  const std::map<std::string, Group> groups = {
      {"window", group<WindowTest>()},
      {"file_dialog", group<FileDialogTest>()},
      {"click_through", group<ClickThroughTest>()},
      {"desktop", group<DesktopTest>()},
  };
  const auto found = argc > 1 ? groups.find(argv[1]) : groups.end();
  if (found == groups.end()) {
    std::fputs("usage: korvane_ui_tests GROUP [Qt Test options]; groups:", stderr);
    for (const auto& [name, make] : groups) std::fprintf(stderr, " %s", name.c_str());
    std::fputs("\n", stderr);
    return 2;
  }
  std::vector<char*> rest{argv[0]};
  rest.insert(rest.end(), argv + 2, argv + argc);
  const std::unique_ptr<QObject> tests = found->second();
  return QTest::qExec(tests.get(), static_cast<int>(rest.size()), rest.data());
}
