#include "windows/display/series_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "display/list_columns.h"
#include "display/series_choice.h"
#include "windows/common/qt_text.h"
#include "windows/display/series_list_box.h"

namespace kvsorv {

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
  resize(393, 297);
}

bool TFmSeries::Open(OutputDisplaySession& session) {
  const SeriesDialogState state = OpenSeriesDialog(session);
  setWindowTitle(Q(state.caption));
  LbxChooseSeries->SetMultipleSelection(state.multipleSelection);
  LbxChooseSeries->Fill(state.list);
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  OKBtn->setFocus();
  if (exec() != QDialog::Accepted) return false;
  AcceptSeriesDialog(session, LbxChooseSeries->Selection());
  return true;
}

void TFmSeries::FormResize() {
  LbxChooseSeries->SetColumns(ListColumnCount(width(), kDialogListThreshold));
}

void TFmSeries::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

}  // namespace kvsorv
