#include "windows/editors/reload_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "main_window/failure_report.h"
#include "windows/common/system_colours.h"

namespace kvsorv {

TDlgReload::TDlgReload(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName("TDlgReload");
  setWindowTitle("Dialog");
  setFixedSize(313, 179);

  MoDirections = new QPlainTextEdit(kReloadDirections, this);
  MoDirections->setObjectName("MoDirections");
  MoDirections->setReadOnly(true);
  MoDirections->setFrameShape(QFrame::NoFrame);
  MoDirections->setFocusPolicy(Qt::NoFocus);
  MoDirections->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  MoDirections->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MoDirections->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette coloured = MoDirections->palette();
  coloured.setColor(QPalette::Base, ScrollBarColour(palette()));
  MoDirections->setPalette(coloured);

  CbParams = new QCheckBox("Parameters", this);
  CbParams->setObjectName("CbParams");
  CbState = new QCheckBox("State Variables", this);
  CbState->setObjectName("CbState");
  CbParams->setChecked(session_.Choice().params);
  CbState->setChecked(session_.Choice().states);
  const auto takeChoice = [this] {
    session_.SetChoice({.params = CbParams->isChecked(), .states = CbState->isChecked()});
  };
  connect(CbParams, &QCheckBox::toggled, this, takeChoice);
  connect(CbState, &QCheckBox::toggled, this, takeChoice);

  OKBtn = new QPushButton("OK", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  connect(OKBtn, &QPushButton::clicked, this, &TDlgReload::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  // The directions across the top; the boxes below them on the left, the buttons on the right.
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(6);
  layout->addWidget(MoDirections, 0, 0, 1, 2);
  layout->addWidget(CbParams, 1, 0);
  layout->addWidget(CbState, 2, 0);
  layout->addWidget(OKBtn, 1, 1);
  layout->addWidget(CancelBtn, 2, 1);
  layout->setRowStretch(0, 1);
  layout->setColumnStretch(0, 1);
  OKBtn->setFixedWidth(88);
  CancelBtn->setFixedWidth(88);
}

void TDlgReload::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    // Each box's toggle hands both boxes to the session: take the choice before setting them.
    const ReloadChoice choice = session_.Choice();
    CbParams->setChecked(choice.params);
    CbState->setChecked(choice.states);
    OKBtn->setFocus();
  }
  QDialog::showEvent(event);
}

void TDlgReload::OKBtnClick() {
  bool read = false;
  RunReportingFailures([&] { read = session_.Reload(); });
  if (read) {
    accept();
  } else {
    reject();
  }
}

}  // namespace kvsorv
