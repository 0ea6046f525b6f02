#include "windows/editors/parameter_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "main_window/failure_report.h"
#include "windows/common/page_control.h"
#include "windows/common/qt_text.h"
#include "windows/common/string_grid.h"
#include "windows/editors/parameter_sheet.h"

namespace kvsorv {

namespace {

// Design values: the window, every tab, and the button panel along the bottom.
constexpr int kDesignWidth = 652;
constexpr int kDesignHeight = 492;
constexpr int kTabWidth = 120;
constexpr int kPanelHeight = 40;
constexpr int kMargin = 6;

}  // namespace

TFmParameter::TFmParameter(ProcessList& processList, QWidget* parent)
    : QDialog(parent), session_(processList) {
  setObjectName("TFmParameter");
  setWindowTitle("Parameters");
  setSizeGripEnabled(true);

  PageControl = new TMyPageControl(this);
  PageControl->SetMinimumTabWidth(kTabWidth);
  for (int p = 0; p < static_cast<int>(session_.Pages().size()); ++p) {
    auto* sheet = new TMyTabSheet(session_, p, PageControl);
    sheets_.push_back(sheet);
    PageControl->AddPage(sheet, Q(session_.Pages()[static_cast<std::size_t>(p)].caption));
  }
  TMyTabSheet::AlignColumns(sheets_);

  PlBottom = new QWidget(this);
  PlBottom->setObjectName("PlBottom");
  PlBottom->setFixedHeight(kPanelHeight);
  auto* panel = new QHBoxLayout(PlBottom);
  panel->setContentsMargins(0, 0, 0, 0);
  const auto button = [this, panel](const char* name, const char* caption) {
    auto* b = new QPushButton(caption, PlBottom);
    b->setObjectName(name);
    b->setAutoDefault(false);
    panel->addWidget(b);
    return b;
  };
  BtnUpdateProc = button("BtnUpdateProc", "&Update processes");
  BtnShowAllProcess = button("BtnShowAllProcess", "&Show all processes");
  panel->addStretch(1);
  BtnOK = button("BtnOK", "&OK");
  BtnOK->setDefault(true);
  BtnClose = button("BtnClose", kCancelCaption);
  connect(BtnUpdateProc, &QPushButton::clicked, this, &TFmParameter::BtnUpdateProcClick);
  connect(BtnShowAllProcess, &QPushButton::clicked, this, &TFmParameter::BtnShowAllProcessClick);
  connect(BtnOK, &QPushButton::clicked, this, &TFmParameter::BtnOKClick);
  connect(BtnClose, &QPushButton::clicked, this, &TFmParameter::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin / 2);
  layout->setSpacing(kMargin);
  layout->addWidget(PageControl, 1);
  layout->addWidget(PlBottom);
  SetDefaultSize();
}

void TFmParameter::SetDefaultSize() {
  // Wide enough for a few tabs a row, tall enough for every row of tabs and the largest page.
  const QWidget* tabs = PageControl->TabBar();
  const int width = std::max(kDesignWidth, tabs->sizeHint().width() + 2 * kMargin);
  int pageHeight = 0;
  for (TMyTabSheet* sheet : sheets_) {
    StringGrid& grid = sheet->Grid();
    const int gridHeight = grid.horizontalHeader()->sizeHint().height() +
                           (grid.RowCount() - 1) * grid.verticalHeader()->defaultSectionSize() +
                           2 * grid.frameWidth();
    const int headerHeight = sheet->layout()->itemAt(0)->sizeHint().height();
    pageHeight = std::max(pageHeight, headerHeight + gridHeight + 4);
  }
  const int height = std::max(kDesignHeight, tabs->heightForWidth(width - 2 * kMargin) +
                                                 pageHeight + kPanelHeight + 4 * kMargin);
  resize(width, height);
}

bool TFmParameter::Execute() {
  RunReportingFailures([this] { session_.Open(); });
  ShowSession();
  return exec() == QDialog::Accepted;
}

void TFmParameter::ShowSession() {
  setWindowTitle(Q(session_.Caption()));
  BtnClose->setText(session_.CloseCaption());
  for (TMyTabSheet* sheet : sheets_) sheet->ShowTexts();
}

void TFmParameter::CommitEdits() {
  for (TMyTabSheet* sheet : sheets_) sheet->Grid().CommitEdit();
}

void TFmParameter::ShowBadCell() {
  const auto& bad = session_.BadCell();
  if (!bad) return;
  PageControl->SetCurrentIndex(bad->page);
  StringGrid& grid = sheets_.at(static_cast<std::size_t>(bad->page))->Grid();
  grid.SetCurrentCell(kParamValueColumn, bad->row);
  grid.setFocus(Qt::OtherFocusReason);
}

void TFmParameter::BtnUpdateProcClick() {
  CommitEdits();
  RunReportingFailures([this] { session_.UpdateProcesses(); });
  ShowSession();
  ShowBadCell();
}

void TFmParameter::BtnShowAllProcessClick() {
  CommitEdits();
  RunReportingFailures([this] { session_.ShowAllProcesses(); });
  ShowSession();
  ShowBadCell();
}

void TFmParameter::BtnOKClick() {
  CommitEdits();
  bool closes = false;
  RunReportingFailures([this, &closes] { closes = session_.Ok(); });
  if (closes) {
    accept();
  } else {
    ShowBadCell();
  }
}

void TFmParameter::reject() {
  RunReportingFailures([this] { session_.Cancel(); });
  QDialog::reject();
}

}  // namespace kvsorv
