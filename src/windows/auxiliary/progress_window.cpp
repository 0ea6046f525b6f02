#include "windows/auxiliary/progress_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

#include "auxiliary/auxiliary_windows.h"
#include "windows/common/qt_text.h"

namespace kvsorv {

namespace {
constexpr int kClientWidth = 425;
constexpr int kClientHeight = 74;
constexpr int kBarWidth = 319;
constexpr int kBarHeight = 13;
}  // namespace

TFmProgress::TFmProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::CustomizeWindowHint) {
  setObjectName("TFmProgress");
  setFixedSize(kClientWidth, kClientHeight);

  const int barLeft = (kClientWidth - kBarWidth) / 2;
  const int barTop = (kClientHeight - kBarHeight) / 2;
  runProgressBar = new QProgressBar(this);
  runProgressBar->setObjectName("runProgressBar");
  runProgressBar->setRange(0, 100);
  runProgressBar->setValue(0);
  runProgressBar->setTextVisible(false);
  runProgressBar->setGeometry(barLeft, barTop, kBarWidth, kBarHeight);

  const int labelWidth = barLeft - 8;
  LblBegin = new QLabel(this);
  LblBegin->setObjectName("LblBegin");
  LblBegin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  LblBegin->setGeometry(4, barTop - 4, labelWidth, kBarHeight + 8);

  LblEnd = new QLabel(this);
  LblEnd->setObjectName("LblEnd");
  LblEnd->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  LblEnd->setGeometry(barLeft + kBarWidth + 4, barTop - 4, labelWidth, kBarHeight + 8);
}

void TFmProgress::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TFmProgress::FormShow() {
  const ProgressWindowTexts texts = ProgressTexts();
  setWindowTitle(Q(texts.caption));
  LblBegin->setText(Q(texts.begin));
  LblEnd->setText(Q(texts.end));
  runProgressBar->setValue(0);
}

void TFmProgress::SetPosition(int percent) {
  if (percent == runProgressBar->value()) return;
  runProgressBar->setValue(percent);
  runProgressBar->repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace kvsorv
