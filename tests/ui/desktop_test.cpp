// frmKorvane as the desktop and assistive technology meet it.

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

#include "ui_test_support.h"
#include "ui_tests.h"
#include "workflow/dialog_state.h"

namespace korvane::ui::testing {

void DesktopTest::reachesAssistiveTechnologyAsADialog() {
  WindowOnPrefix w;
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w.window.get());
  QVERIFY(window);
  QCOMPARE(window->role(), QAccessible::Dialog);
  QCOMPARE(window->text(QAccessible::Name), w.window->windowTitle());
  QCOMPARE(w.window->windowType(), Qt::Dialog);
}

void DesktopTest::escapeLeavesTheWindowOpen_data() {
  QTest::addColumn<QString>("focus");
  QTest::newRow("on Update") << "cmdbutton_9";
  QTest::newRow("on the instructions") << "txtInstructions";
  QTest::newRow("on the system option") << "Option1_0";
}

void DesktopTest::escapeLeavesTheWindowOpen() {
  QFETCH(QString, focus);
  WindowOnPrefix w;
  QApplication::setActiveWindow(w.window.get());
  auto* target = w.window->findChild<QWidget*>(focus);
  QVERIFY(target);
  target->setFocus();
  const workflow::DialogState before = w.window->frame().state();

  QTest::keyClick(target, Qt::Key_Escape);
  QTest::keyClick(w.window.get(), Qt::Key_Escape);
  QCoreApplication::processEvents();

  QVERIFY(w.window->isVisible());
  QVERIFY(!w.window->frame().closed());
  QVERIFY(w.window->frame().state() == before);
}

void DesktopTest::closeBoxStillEndsWithoutAnAction() {
  WindowOnPrefix w;
  const workflow::DialogState before = w.window->frame().state();
  QVERIFY(w.window->close());
  QVERIFY(!w.window->isVisible());
  QVERIFY(!w.window->frame().closed());  // neither Close nor Exit ran
  QVERIFY(w.window->frame().state() == before);
}

}  // namespace korvane::ui::testing
