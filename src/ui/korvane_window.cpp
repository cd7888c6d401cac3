// frmKorvane: building the controls, start-up, rendering and forwarding.
#include "ui/korvane_window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "ui/busy_pointer.h"
#include "ui/file_open_dialog.h"
#include "workflow/database_selection.h"
#include "workflow/dialog_state.h"
#include "workflow/start_up.h"

namespace korvane::ui {

namespace {

using workflow::DialogState;

// The layout is drawn in twips, 15 to a pixel at 96 dpi.
constexpr int kTwipsPerPixel = 15;
constexpr int pixels(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

struct Twips {
  int left, top, width, height;
  QRect inPixels() const { return {pixels(left), pixels(top), pixels(width), pixels(height)}; }
};

// The window is 8775 twips wide and, from start-up on, 4000 twips high
// outside. Qt sizes the inside only, so the height left inside is that minus
// the title bar and borders of a fixed dialog (30 pixels).
constexpr int kClientWidthTwips = 8775;
constexpr int kOuterHeightTwips = 4000;
constexpr int kTitleAndBordersTwips = 450;

struct CommandButton {
  workflow::Command command;
  const char* caption;
  Twips at;
};

// In tab order; a button's index is its command's.
constexpr CommandButton kCommandButtons[] = {
    {workflow::kUpdate, " Update", {6315, 870, 2340, 420}},
    {workflow::kDeleteOrphans, " Delete orphans", {6330, 1350, 2340, 435}},
    {workflow::kSetNull, "Set un-measured values to Null", {6330, 1860, 2355, 450}},
    {workflow::kClose, "Close", {6330, 2370, 2355, 450}},
    {workflow::kExitWithoutUpdate, "Exit without update", {6330, 2895, 2355, 450}},
};

constexpr Twips kInstructionsAt{90, 45, 6075, 3255};
constexpr Twips kFrame1At{6330, 45, 2325, 705};

struct Option {
  int index;
  const char* caption;
  Twips at;  // inside Frame1
};

// In tab order: option 1 comes before option 0.
constexpr Option kOptions[] = {
    {workflow::kExternalOption, "Select an external db", {120, 405, 2340, 300}},
    {workflow::kSystemOption, "Update system database", {120, 75, 2355, 300}},
};

// Fonts tried from the desktop's size down to this one.
constexpr qreal kSmallestPointSize = 5.0;
constexpr qreal kPointSizeStep = 0.5;
// An option is clipped by Frame1's right edge and its frame line.
constexpr int kFrameLinePixels = 2;

QString indexedName(const char* array, int index) {
  return QString::fromLatin1(array) + u'_' + QString::number(index);
}

}  // namespace

KorvaneWindow::KorvaneWindow(workflow::Services services,
                             std::unique_ptr<workflow::CommonDialog> commonDialog)
    : frame_(services), commonDialog_(std::move(commonDialog)) {
  setObjectName("frmKorvane");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  if (!commonDialog_) {
    commonDialog_ = std::make_unique<FileOpenDialog>(frame_.services().paths, this);
  }
  buildControls();
  orderTabs();
  chooseReadableFont();

  frame_.setListener({[this] { render(); }, [this] { onCloseRequested(); }});

  setFixedSize(pixels(kClientWidthTwips), pixels(kOuterHeightTwips - kTitleAndBordersTwips));
  workflow::startUp(frame_.context());
  frame_.notifyStateChanged();
}

KorvaneWindow::~KorvaneWindow() = default;

void KorvaneWindow::buildControls() {
  // Created in tab order, so the focus chain needs no reshuffling.
  const DialogState drawn;
  for (const CommandButton& each : kCommandButtons) {
    const int index = each.command;
    auto* button = new QPushButton(QString::fromLatin1(each.caption), this);
    button->setObjectName(indexedName("cmdbutton", index));
    button->setProperty("index", index);
    button->setGeometry(each.at.inPixels());
    button->setAutoDefault(false);
    button->setHidden(!drawn.command(each.command).visible);
    connect(button, &QPushButton::clicked, this, [this, index] { onCommandPressed(index); });
    cmdbutton_[each.command] = button;
  }

  txtInstructions_ = new QPlainTextEdit(this);
  txtInstructions_->setObjectName("txtInstructions");
  txtInstructions_->setGeometry(kInstructionsAt.inPixels());
  // The program writes the text whole and never reads it back.
  txtInstructions_->setReadOnly(true);
  txtInstructions_->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                            Qt::TextSelectableByKeyboard);
  txtInstructions_->setPlainText(QStringLiteral(" "));

  // An empty title: a title of " " makes Qt reserve a line that the frame
  // then draws through the first option.
  frame1_ = new QGroupBox(this);
  frame1_->setObjectName("Frame1");
  frame1_->setGeometry(kFrame1At.inPixels());

  for (const Option& option : kOptions) {
    auto* radio = new QRadioButton(QString::fromLatin1(option.caption), frame1_);
    radio->setObjectName(indexedName("Option1", option.index));
    radio->setProperty("index", option.index);
    radio->setGeometry(option.at.inPixels());
    // clicked, not toggled: only the user's choice runs the selection, never
    // the window's own rendering of it.
    connect(radio, &QRadioButton::clicked, this, [this, index = option.index](bool checked) {
      if (checked) onOptionClicked(index);
    });
    option1_[option.index] = radio;
  }
}

void KorvaneWindow::orderTabs() {
  QWidget* previous = nullptr;
  auto append = [&previous](QWidget* next) {
    if (previous) setTabOrder(previous, next);
    previous = next;
  };
  for (const CommandButton& each : kCommandButtons) append(cmdbutton_[each.command]);
  append(txtInstructions_);
  for (const Option& option : kOptions) append(option1_[option.index]);
}

bool KorvaneWindow::captionsFit() const {
  for (const auto& [index, button] : cmdbutton_) {
    if (button->sizeHint().width() > button->width()) return false;
  }
  for (const QRadioButton* radio : option1_) {
    const int shown = std::min(radio->width(), frame1_->width() - radio->x() - kFrameLinePixels);
    if (radio->sizeHint().width() > shown) return false;
  }
  return true;
}

// The layout was drawn for a smaller system font than most desktops use; one
// size for the whole window keeps every caption whole in its control.
void KorvaneWindow::chooseReadableFont() {
  QFont chosen = font();
  qreal size = chosen.pointSizeF() > 0 ? chosen.pointSizeF() : 9.0;
  for (; size >= kSmallestPointSize; size -= kPointSizeStep) {
    chosen.setPointSizeF(size);
    setFont(chosen);
    if (captionsFit()) return;
  }
}

void KorvaneWindow::render() {
  const DialogState& state = frame_.state();
  setWindowTitle(QString::fromStdString(state.caption));
  renderInstructions(state.instructions);
  if (state.pointer == workflow::Pointer::kBusy) {
    setCursor(QCursor(Qt::WaitCursor));
  } else {
    unsetCursor();
  }
  for (const auto& [command, button] : cmdbutton_) {
    button->setVisible(state.command(command).visible);
    button->setEnabled(state.command(command).enabled);
  }
  frame1_->setEnabled(state.frameEnabled);
  renderOptions();
  emit rendered();
}

void KorvaneWindow::renderInstructions(const std::string& text) {
  if (text == shownInstructions_) return;  // keep the reader's scroll position
  shownInstructions_ = text;
  QString lines = QString::fromStdString(text);
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  txtInstructions_->setPlainText(lines);
}

void KorvaneWindow::renderOptions() {
  const auto& options = frame_.state().options;
  for (int index : {workflow::kSystemOption, workflow::kExternalOption}) {
    option1_[index]->setEnabled(options[index].enabled);
  }
  if (options[workflow::kSystemOption].selected) {
    option1_[workflow::kSystemOption]->setChecked(true);
  } else if (options[workflow::kExternalOption].selected) {
    option1_[workflow::kExternalOption]->setChecked(true);
  } else {
    clearOptions();
  }
}

// Exclusive radio buttons refuse to uncheck the checked one; exclusivity is
// lifted for the moment of clearing both.
void KorvaneWindow::clearOptions() {
  for (QRadioButton* radio : option1_) radio->setAutoExclusive(false);
  for (QRadioButton* radio : option1_) radio->setChecked(false);
  for (QRadioButton* radio : option1_) radio->setAutoExclusive(true);
}

void KorvaneWindow::onCommandPressed(int index) {
  const BusyPointer busy;
  if (closing_) return;  // closed while the pointer was being painted
  frame_.commandClick(index);
  if (!closing_) render();
}

void KorvaneWindow::onOptionClicked(int index) {
  workflow::selectDatabase(index, frame_.context(), *commonDialog_,
                           [this] { frame_.notifyStateChanged(); });
  frame_.notifyStateChanged();
}

void KorvaneWindow::onCloseRequested() {
  close();
}

void KorvaneWindow::reject() {}

// Closing by the title bar only ends the program: nothing is committed or
// deleted, so the working copy and the backup stay where Update put them.
void KorvaneWindow::closeEvent(QCloseEvent* event) {
  closing_ = true;
  event->accept();
}

}  // namespace korvane::ui
