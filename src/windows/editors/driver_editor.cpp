#include "windows/editors/driver_editor.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "main_window/failure_report.h"
#include "windows/common/qt_text.h"

namespace kvsorv {

namespace {

constexpr int kButtonPanelHeight = 33;

// Courier New 8 point, or the nearest fixed-pitch font the system has.
QFont DriverTextFont() {
  QFont font;
  font.setFamilies({"Courier New", "Liberation Mono", "DejaVu Sans Mono", "Monospace"});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSize(8);
  return font;
}

}  // namespace

TFmNote::TFmNote(std::function<void()> chooseDriverFile, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      session_(std::move(chooseDriverFile)) {
  setObjectName("TFmNote");
  resize(696, 480);

  MoDrivers = new QPlainTextEdit(this);
  MoDrivers->setObjectName("MoDrivers");
  MoDrivers->setFont(DriverTextFont());
  MoDrivers->setLineWrapMode(QPlainTextEdit::NoWrap);
  MoDrivers->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MoDrivers->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MoDrivers->setFrameShape(QFrame::NoFrame);
  connect(MoDrivers->document(), &QTextDocument::modificationChanged, this,
          [this](bool modified) { session_.SetModified(modified); });

  auto* panel = new QWidget(this);
  panel->setObjectName("PnlButtons");
  panel->setFixedHeight(kButtonPanelHeight);
  auto* buttons = new QHBoxLayout(panel);
  buttons->setContentsMargins(6, 3, 6, 3);
  buttons->setSpacing(8);
  const auto addButton = [&](const char* name, const char* caption) {
    auto* button = new QPushButton(caption, panel);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setMinimumWidth(button->sizeHint().width() + 12);
    buttons->addWidget(button);
    return button;
  };
  BtnChooseFile = addButton("BtnChooseFile", "C&hoose Driver File");
  BtnSaveFile = addButton("BtnSaveFile", "&Save File");
  BtnClose = addButton("BtnClose", "&Close");
  buttons->addStretch();
  connect(BtnChooseFile, &QPushButton::clicked, this, &TFmNote::BtnChooseFileClick);
  connect(BtnSaveFile, &QPushButton::clicked, this, &TFmNote::BtnSaveFileClick);
  connect(BtnClose, &QPushButton::clicked, this, &TFmNote::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(MoDrivers, 1);
  layout->addWidget(panel);
}

void TFmNote::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormActivate();
}

void TFmNote::FormActivate() {
  RunReportingFailures([this] { session_.Open(); });
  ShowSessionText();
  MoDrivers->setFocus();
}

void TFmNote::ShowSessionText() {
  setWindowTitle(Q(session_.Caption()));
  MoDrivers->setPlainText(Q(session_.Text()));
  MoDrivers->document()->setModified(false);
  session_.SetModified(false);
}

std::string TFmNote::CurrentText() const {
  return S(MoDrivers->toPlainText());
}

void TFmNote::Finish(NoteResult result) {
  switch (result) {
    case NoteResult::kCloseOk:
      QDialog::accept();
      break;
    case NoteResult::kCloseCancel:
      QDialog::reject();
      break;
    case NoteResult::kStayOpen:
      MoDrivers->setFocus();
      break;
  }
}

void TFmNote::BtnSaveFileClick() {
  NoteResult result = NoteResult::kStayOpen;
  RunReportingFailures([&] { result = session_.Save(CurrentText()); });
  Finish(result);
}

void TFmNote::reject() {
  NoteResult result = NoteResult::kStayOpen;
  RunReportingFailures([&] { result = session_.Close(CurrentText()); });
  Finish(result);
}

void TFmNote::BtnChooseFileClick() {
  bool refilled = false;
  RunReportingFailures([&] { refilled = session_.Choose(CurrentText()); });
  if (refilled) ShowSessionText();
}

}  // namespace kvsorv
