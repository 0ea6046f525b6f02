#include "windows/auxiliary/trouble_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "auxiliary/auxiliary_windows.h"
#include "program/prompter.h"
#include "windows/common/clickable_label.h"
#include "windows/common/pictures.h"
#include "windows/common/qt_text.h"
#include "windows/common/system_colours.h"

namespace kvsorv {

TFmTrouble::TFmTrouble(QWidget* parent) : TFmAbout(parent) {
  setObjectName("TFmTrouble");
  setWindowTitle(kTroubleCaption);
  setFixedSize(551, 345);

  LblKVS->hide();
  LblModel->hide();
  LblVersion->hide();

  Image1->setGeometry(12, 24, 241, 297);
  Image1->setPixmap(ForestScene(QSize(241, 297)));
  Image1->setScaledContents(true);
  Image1->setCursor(Qt::PointingHandCursor);
  connect(Image1, &ClickableLabel::clicked, this, &TFmTrouble::Image1Click);

  QFont large = MoContact->font();
  large.setPixelSize(20);
  MoContact->setFont(large);
  MoContact->setPlainText(kTroubleText);
  MoContact->setGeometry(272, 24, 267, 92);

  BtnOK->setGeometry(368, 128, 75, 28);

  MmError = new QPlainTextEdit(this);
  MmError->setObjectName("MmError");
  MmError->setReadOnly(true);
  QFont errorFont = MmError->font();
  errorFont.setPixelSize(17);
  MmError->setFont(errorFont);
  QPalette scrollBarColoured = MmError->palette();
  scrollBarColoured.setColor(QPalette::Base, ScrollBarColour(palette()));
  MmError->setPalette(scrollBarColoured);
  MmError->setGeometry(289, 172, 233, 89);
}

void TFmTrouble::ShowError(const std::string& message) {
  MmError->clear();
  MmError->appendPlainText(Q(message));
  exec();
}

void TFmTrouble::Image1Click() {
  CurrentPrompter().Message(MessageKind::kConfirmation, MessageButtons::kOk, kTroubleIconMessage);
}

}  // namespace kvsorv
