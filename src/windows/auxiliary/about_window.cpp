#include "windows/auxiliary/about_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "auxiliary/auxiliary_windows.h"
#include "windows/common/clickable_label.h"
#include "windows/common/pictures.h"
#include "windows/common/qt_text.h"

namespace kvsorv {

namespace {

QFont PixelFont(const QFont& base, int pixels, bool bold = false) {
  QFont font = base;
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace

TFmAbout::TFmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("TFmAbout");
  setWindowTitle(kAboutCaption);
  setFixedSize(315, 232);

  Image1 = new ClickableLabel(this);
  Image1->setObjectName("Image1");
  Image1->setPixmap(TreeIcon(32));
  Image1->setGeometry(12, 12, 32, 32);

  LblKVS = new QLabel(kAboutMaker, this);
  LblKVS->setObjectName("LblKVS");
  LblKVS->setFont(PixelFont(font(), 15, true));
  LblKVS->setAlignment(Qt::AlignCenter);
  LblKVS->setGeometry(52, 12, 211, 24);

  LblModel = new QLabel(this);
  LblModel->setObjectName("LblModel");
  LblModel->setAlignment(Qt::AlignCenter);
  LblModel->setGeometry(52, 42, 211, 20);

  LblVersion = new QLabel(this);
  LblVersion->setObjectName("LblVersion");
  LblVersion->setAlignment(Qt::AlignCenter);
  LblVersion->setGeometry(52, 64, 211, 20);

  MoContact = new QPlainTextEdit(this);
  MoContact->setObjectName("MoContact");
  MoContact->setReadOnly(true);
  MoContact->setFrameShape(QFrame::NoFrame);
  MoContact->setFocusPolicy(Qt::NoFocus);
  MoContact->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MoContact->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MoContact->setFont(PixelFont(font(), 12));
  QPalette windowColoured = MoContact->palette();
  windowColoured.setColor(QPalette::Base, windowColoured.color(QPalette::Window));
  MoContact->setPalette(windowColoured);
  MoContact->setPlainText(Q(AboutContactText()));
  MoContact->setGeometry(12, 100, 291, 80);

  BtnOK = new QPushButton("&OK", this);
  BtnOK->setObjectName("BtnOK");
  BtnOK->setDefault(true);
  BtnOK->setAutoDefault(true);
  BtnOK->setGeometry(120, 192, 75, 28);
  connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
}

void TFmAbout::showEvent(QShowEvent* event) {
  FormShow();
  CentreOnScreen();
  QDialog::showEvent(event);
}

void TFmAbout::CentreOnScreen() {
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void TFmAbout::FormShow() {
  const AboutWindowTexts texts = AboutTexts();
  LblModel->setText(Q(texts.model));
  LblVersion->setText(Q(texts.version));
}

}  // namespace kvsorv
