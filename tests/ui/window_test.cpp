// frmKorvane on its own, driven by mouse clicks on its real widgets.

#include "ui_tests.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QTest>

#include "ui_test_support.h"
#include "workflow/dialog_state.h"

namespace korvane::ui::testing {

namespace {

const QString kSystemCaption = "Update system database, C:\\data_aco\\QX_aco.mdb";

}  // namespace

void WindowTest::startUpShowsSystemChoice() {
  WindowOnPrefix w;
  QCOMPARE(w.window->objectName(), QString("frmKorvane"));
  QCOMPARE(w.window->windowTitle(), kSystemCaption);

  auto* text = w.window->findChild<QPlainTextEdit*>("txtInstructions");
  QVERIFY(text);
  // The text to the character is the start-up's; here: shown whole, line by line.
  QString expected = QString::fromStdString(w.window->frame().state().instructions);
  QVERIFY(expected.startsWith(" If you want to update the database on this system, then\r\n"));
  expected.replace("\r\n", "\n");
  QCOMPARE(text->toPlainText(), expected);

  QCOMPARE(w.visibleCommands(), (std::vector<int>{1, 9}));
  QVERIFY(w.command(1)->isEnabled());
  QVERIFY(w.command(9)->isEnabled());
  QVERIFY(w.option(0)->isChecked());
  QVERIFY(!w.option(1)->isChecked());
  QVERIFY(w.option(1)->isEnabled());
  QVERIFY(w.window->findChild<QGroupBox*>("Frame1")->isEnabled());
  QCOMPARE(w.window->frame().context().dataFolder, std::string("C:\\data_aco\\"));
  QCOMPARE(w.window->cursor().shape(), Qt::ArrowCursor);
}

void WindowTest::controlsAsDrawn_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("container");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<int>("index");  // -1: not part of an array
  QTest::addColumn<QRect>("twips");

  QTest::newRow("txtInstructions") << "txtInstructions"
                                   << "frmKorvane"
                                   << "" << -1 << QRect(90, 45, 6075, 3255);
  QTest::newRow("Frame1") << "Frame1"
                          << "frmKorvane"
                          << "" << -1 << QRect(6330, 45, 2325, 705);
  QTest::newRow("Option1(0)") << "Option1_0"
                              << "Frame1"
                              << "Update system database" << 0 << QRect(120, 75, 2355, 300);
  QTest::newRow("Option1(1)") << "Option1_1"
                              << "Frame1"
                              << "Select an external db" << 1 << QRect(120, 405, 2340, 300);
  QTest::newRow("cmdbutton(9)") << "cmdbutton_9"
                                << "frmKorvane"
                                << " Update" << 9 << QRect(6315, 870, 2340, 420);
  QTest::newRow("cmdbutton(10)") << "cmdbutton_10"
                                 << "frmKorvane"
                                 << " Delete orphans" << 10 << QRect(6330, 1350, 2340, 435);
  QTest::newRow("cmdbutton(11)") << "cmdbutton_11"
                                 << "frmKorvane"
                                 << "Set un-measured values to Null" << 11
                                 << QRect(6330, 1860, 2355, 450);
  QTest::newRow("cmdbutton(0)") << "cmdbutton_0"
                                << "frmKorvane"
                                << "Close" << 0 << QRect(6330, 2370, 2355, 450);
  QTest::newRow("cmdbutton(1)") << "cmdbutton_1"
                                << "frmKorvane"
                                << "Exit without update" << 1 << QRect(6330, 2895, 2355, 450);
}

void WindowTest::controlsAsDrawn() {
  QFETCH(QString, name);
  QFETCH(QString, container);
  QFETCH(QString, caption);
  QFETCH(int, index);
  QFETCH(QRect, twips);

  WindowOnPrefix w;
  auto* control = w.window->findChild<QWidget*>(name);
  QVERIFY2(control, qPrintable(name));
  QCOMPARE(control->parentWidget()->objectName(), container);
  const QRect pixels(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
  QCOMPARE(control->geometry(), pixels);
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->property("index").toInt(), index);
  }
  QVERIFY(control->isEnabled());
}

void WindowTest::tabOrderFollowsTheColumn() {
  WindowOnPrefix w;
  const QStringList ours = {"cmdbutton_9", "cmdbutton_10",    "cmdbutton_11", "cmdbutton_0",
                            "cmdbutton_1", "txtInstructions", "Option1_1",    "Option1_0"};
  QStringList chain;
  for (QWidget* next = w.window->nextInFocusChain(); next != w.window.get();
       next = next->nextInFocusChain()) {
    if (ours.contains(next->objectName())) chain << next->objectName();
  }
  QCOMPARE(chain, ours);
  QCOMPARE(QApplication::focusWidget(), w.command(9));
}

void WindowTest::renderShowsEveryField() {
  WindowOnPrefix w;
  workflow::DialogState& state = w.window->frame().context().state;
  state.caption = "Caption";
  state.instructions = "one\r\n\r\ntwo";
  state.pointer = workflow::Pointer::kBusy;
  state.command(workflow::kUpdate) = {false, true};
  state.command(workflow::kSetNull) = {true, false};
  state.frameEnabled = false;
  state.options[0] = {false, true};
  state.options[1] = {true, false};
  w.window->frame().notifyStateChanged();

  QCOMPARE(w.window->windowTitle(), QString("Caption"));
  QCOMPARE(w.window->findChild<QPlainTextEdit*>("txtInstructions")->toPlainText(),
           QString("one\n\ntwo"));
  QCOMPARE(w.window->cursor().shape(), Qt::WaitCursor);
  QCOMPARE(w.visibleCommands(), (std::vector<int>{1, 11}));
  QVERIFY(!w.command(workflow::kSetNull)->isEnabled());
  QVERIFY(!w.window->findChild<QGroupBox*>("Frame1")->isEnabled());
  QVERIFY(w.option(1)->isChecked());
  QVERIFY(!w.option(0)->isChecked());
  QVERIFY(!w.option(1)->isEnabled());

  state.pointer = workflow::Pointer::kDefault;
  state.options[1].selected = false;
  w.window->frame().notifyStateChanged();

  QCOMPARE(w.window->cursor().shape(), Qt::ArrowCursor);
  QVERIFY(!w.option(0)->isChecked());
  QVERIFY(!w.option(1)->isChecked());
}

void WindowTest::fixedDialog() {
  WindowOnPrefix w;
  const Qt::WindowFlags flags = w.window->windowFlags();
  QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
  QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
  QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
  QVERIFY(flags & Qt::WindowCloseButtonHint);
  // 8775 twips wide; 4000 twips high outside, less a 30-pixel title bar and borders.
  QCOMPARE(w.window->size(), QSize(585, 237));
  QCOMPARE(w.window->minimumSize(), w.window->maximumSize());
  for (auto* child : w.window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (child->objectName().isEmpty() || child->isWindow()) continue;
    QVERIFY2(w.window->rect().contains(child->geometry()), qPrintable(child->objectName()));
  }
}

void WindowTest::everyCaptionFitsItsControl() {
  WindowOnPrefix w;
  auto* frame = w.window->findChild<QGroupBox*>("Frame1");
  for (int index : {0, 1, 9, 10, 11}) {
    QAbstractButton* button = w.command(index);
    QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->text()));
  }
  for (int index : {0, 1}) {
    QAbstractButton* radio = w.option(index);
    const int shown = std::min(radio->width(), frame->width() - radio->x() - 2);
    QVERIFY2(radio->sizeHint().width() <= shown, qPrintable(radio->text()));
  }
  QVERIFY(w.window->font().pointSizeF() >= 5.0);
}

void WindowTest::externalChoiceByMouse() {
  WindowOnPrefix w;
  const std::string lab7 = "C:\\data_aco\\External\\Lab7\\QX_aco.mdb";
  QString titleWhileOpen;
  bool externalCheckedWhileOpen = false;
  w.dialog->onShow = [&] {
    titleWhileOpen = w.window->windowTitle();
    externalCheckedWhileOpen = w.option(1)->isChecked();
  };
  w.dialog->answers = {lab7};

  w.click(w.option(1));

  QCOMPARE(w.dialog->shows(), 1);
  QCOMPARE(titleWhileOpen, QString("Update external database, "));
  QVERIFY(externalCheckedWhileOpen);
  QCOMPARE(w.dialog->initialDir(), std::string("C:\\data_aco\\External"));
  QCOMPARE(w.window->windowTitle(), "Update external database, " + QString::fromStdString(lab7));
  QCOMPARE(w.window->frame().context().selectedPath, lab7);
  QVERIFY(w.option(1)->isChecked());
  QVERIFY(!w.option(0)->isChecked());
  QCOMPARE(w.visibleCommands(), (std::vector<int>{1, 9}));

  w.click(w.option(0));

  QCOMPARE(w.dialog->shows(), 1);
  QCOMPARE(w.window->windowTitle(), kSystemCaption);
  QCOMPARE(w.window->frame().context().selectedPath, std::string("C:\\data_aco\\QX_aco.mdb"));
  QVERIFY(w.option(0)->isChecked());
  QVERIFY(!w.option(1)->isChecked());
  QCOMPARE(w.visibleCommands(), (std::vector<int>{1, 9}));
}

void WindowTest::cancelledDialogLeavesNothingChosen() {
  WindowOnPrefix w;
  w.click(w.option(1));  // no answer scripted: Cancel

  QCOMPARE(w.dialog->shows(), 1);
  QVERIFY(!w.option(0)->isChecked());
  QVERIFY(!w.option(1)->isChecked());
  QCOMPARE(w.visibleCommands(), (std::vector<int>{1}));
  QCOMPARE(w.window->frame().context().selectedPath, std::string("C:\\data_aco\\QX_aco.mdb"));
  QCOMPARE(w.window->windowTitle(), QString("Update external database, "));

  // Either option can be chosen again, and both stay exclusive.
  w.dialog->answers = {"D:\\Lab7\\QX_aco.mdb"};
  w.click(w.option(1));
  QCOMPARE(w.dialog->shows(), 2);
  QVERIFY(w.option(1)->isChecked());
  w.click(w.option(0));
  QVERIFY(w.option(0)->isChecked());
  QVERIFY(!w.option(1)->isChecked());
  QCOMPARE(w.visibleCommands(), (std::vector<int>{1, 9}));
}

void WindowTest::closeNeverShownBeforeUpdate() {
  WindowOnPrefix w;
  int renders = 0;
  QObject::connect(w.window.get(), &KorvaneWindow::rendered, [&] {
    ++renders;
    QVERIFY(!w.command(workflow::kClose)->isVisible());
  });
  w.dialog->answers = {"", "D:\\Lab7\\QX_aco.mdb"};
  w.click(w.option(1));
  w.click(w.option(1));
  w.click(w.option(0));
  QVERIFY(!w.command(workflow::kClose)->isVisible());
  QVERIFY(renders >= 5);  // option 1 shows its state before and after the dialog
}

void WindowTest::exitRightAfterStartUpDeletesNothing() {
  WindowOnPrefix w;
  writeFile(w.prefix.dataFolder() / "QX_aco.mdb", "old");
  const QStringList before = fileNames(w.prefix.dataFolder());

  w.click(w.command(workflow::kExitWithoutUpdate));

  QVERIFY(!w.window->isVisible());
  QCOMPARE(fileNames(w.prefix.dataFolder()), before);
  QCOMPARE(readFile(w.prefix.dataFolder() / "QX_aco.mdb"), std::string("old"));
  QVERIFY(fileNames(w.prefix.dataFolder() / "Backup").isEmpty());
  QVERIFY(QApplication::overrideCursor() == nullptr);
}

}  // namespace korvane::ui::testing
