#include "windows/display/series_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "display/list_columns.h"
#include "display/series_choice.h"
#include "windows/common/qt_text.h"
#include "windows/common/window_placement.h"
#include "windows/display/series_list_box.h"

namespace kvsorv {

namespace {

constexpr int kOpeningWidth = 393;
constexpr int kOpeningHeight = 297;

}  // namespace

TFmSeries::TFmSeries(QWidget* parent) : QDialog(parent) {
  setObjectName("TFmSeries");
  setWindowTitle("Dialog");
  LbxChooseSeries = new SeriesListBox(this);
  LbxChooseSeries->setObjectName("LbxChooseSeries");
  BtnClearSelection = new QPushButton("Clear Selection", this);
  BtnClearSelection->setObjectName("BtnClearSelection");
  BtnClearSelection->setAutoDefault(false);
  OKBtn = new QPushButton("OK", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  CancelBtn->setAutoDefault(false);
  connect(BtnClearSelection, &QPushButton::clicked, LbxChooseSeries, &QListWidget::clearSelection);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(LbxChooseSeries, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BtnClearSelection);
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  layout->addLayout(buttons);
  resize(kOpeningWidth, kOpeningHeight);
}

bool TFmSeries::Open(OutputDisplaySession& session) {
  const SeriesDialogState state = OpenSeriesDialog(session);
  setWindowTitle(Q(state.caption));
  LbxChooseSeries->SetMultipleSelection(state.multipleSelection);
  LbxChooseSeries->Fill(state.list);
  FitToNames();
  CentreOver(this, parentWidget());
  OKBtn->setFocus();
  if (exec() != QDialog::Accepted) return false;
  AcceptSeriesDialog(session, LbxChooseSeries->Selection());
  return true;
}

void TFmSeries::FitToNames() {
  const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : this->screen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
  // Around the list: the dialog's margins and the list's frame; below it the buttons' row (and
  // the list's own scroll bar, which shows when the rows do not fit).
  const QMargins outer = layout()->contentsMargins();
  const int frame = 2 * LbxChooseSeries->frameWidth();
  const int margins = outer.left() + outer.right() + frame;
  const int w = ListWidthFitting(LbxChooseSeries->WidestItemWidth(), kOpeningWidth,
                                 area.width() * 9 / 10, margins, kDialogListThreshold);
  const int columns = ListColumnCount(w, kDialogListThreshold);
  const int rows = (LbxChooseSeries->count() + columns - 1) / columns;
  const int aroundList = outer.top() + outer.bottom() + frame + layout()->spacing() +
                         OKBtn->sizeHint().height() +
                         LbxChooseSeries->horizontalScrollBar()->sizeHint().height();
  // One row to spare: the list lays its items out within its margins.
  const int h = std::clamp((rows + 1) * LbxChooseSeries->ItemHeight() + aroundList, kOpeningHeight,
                           std::max(kOpeningHeight, area.height() * 95 / 100));
  resize(w, h);
}

void TFmSeries::FormResize() {
  LbxChooseSeries->SetColumns(ListColumnCount(width(), kDialogListThreshold));
}

void TFmSeries::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

}  // namespace kvsorv
