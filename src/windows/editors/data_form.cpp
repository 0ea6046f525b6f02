#include "windows/editors/data_form.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "main_window/failure_report.h"
#include "windows/common/qt_text.h"
#include "windows/common/string_grid.h"
#include "windows/common/system_colours.h"
#include "windows/common/window_placement.h"

namespace kvsorv {

namespace {

// Design values: the button panel, the rows, and the columns' narrowest widths (each column
// is widened to its longest text).
constexpr int kPanelHeight = 33;
constexpr int kRowHeight = 21;
constexpr std::array<int, kDataGridColumns> kColumnWidths = {80, 90, 150, 140, 140};
// At most this many rows are in view when the window opens.
constexpr int kRowsInView = 24;
// The process list beside a window with no room for it: at least this wide, and clear of
// the opener's lowest pixels, where its OK, Close and Cancel buttons are.
constexpr int kNarrowestList = 280;
constexpr int kOpenerButtonsHeight = 70;
constexpr int kNarrowestName = 60;
constexpr int kMargin = 4;

}  // namespace

TDataForm::TDataForm(QWidget* owner) : QDialog(owner), owner_(owner) {
  setObjectName("TDataForm");
  setWindowTitle(kStateEditorCaption);
  setSizeGripEnabled(true);

  PnlTop = new QWidget(this);
  PnlTop->setObjectName("PnlTop");
  PnlTop->setFixedHeight(kPanelHeight);
  auto* panel = new QHBoxLayout(PnlTop);
  panel->setContentsMargins(0, 0, 0, 0);
  BtnOK = new QPushButton("&OK", PnlTop);
  BtnOK->setObjectName("BtnOK");
  BtnOK->setDefault(true);
  BtnCancel = new QPushButton("&Cancel", PnlTop);
  BtnCancel->setObjectName("BtnCancel");
  BtnCancel->setAutoDefault(false);
  panel->addWidget(BtnOK);
  panel->addWidget(BtnCancel);
  panel->addStretch(1);
  connect(BtnOK, &QPushButton::clicked, this, &TDataForm::BtnOKClick);
  connect(BtnCancel, &QPushButton::clicked, this, &TDataForm::reject);

  DataGrid = new StringGrid(this);
  DataGrid->setObjectName("DataGrid");
  DataGrid->SetColCount(kDataGridColumns);
  DataGrid->SetFixedRows(1);
  DataGrid->SetRowHeight(kRowHeight);
  DataGrid->SetUserColumnSizing(true);
  DataGrid->SetSelectCellTest([this](int c, int r) { return session_.CanSelect(c, r); });
  DataGrid->SetBoldTest(&StateGridSession::Bold);
  DataGrid->SetCellColor([this](int c, int r) {
    return session_.Shade(c, r) == CellShade::kScrollBar ? ScrollBarColour(palette()) : QColor();
  });
  DataGrid->SetCellAlignment([](int c, int r) {
    return StateGridSession::Centred(c, r) ? Qt::AlignHCenter : Qt::AlignLeft;
  });
  DataGrid->SetPaintHook([this](QPainter& p, const QRect& rect, int, int) {
    p.setPen(ButtonShadowColour(palette()));
    p.drawRect(rect.adjusted(0, 0, -1, -1));
  });
  connect(DataGrid, &StringGrid::cellEdited, this,
          [this](int column, int row, const QString& text) {
            session_.EditCell(column, row, S(text));
          });
  connect(DataGrid, &StringGrid::checkBoxClicked, this, [this](int column, int row, bool on) {
    RunReportingFailures([&] { session_.CheckBoxClick(column, row, on); });
  });
  session_.SetRefreshListener([this] { ShowCells(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  layout->setSpacing(kMargin);
  layout->addWidget(PnlTop);
  layout->addWidget(DataGrid, 1);
  ShowCells();
}

void TDataForm::ShowStates() {
  RunReportingFailures([this] { session_.ShowStates(); });
  GiveToOwner(this, owner_);
  ShowSession();
  CentreOver(this, owner_);
  DataGrid->SetCurrentCell(session_.CurrentColumn(), session_.CurrentRow());
  DataGrid->setFocus(Qt::OtherFocusReason);
  exec();
}

void TDataForm::ShowProcess() {
  // A window shown while a modal one is open takes input only as that window's child.
  QWidget* opener = QApplication::activeModalWidget();
  if (opener == nullptr || opener == this) opener = owner_;
  const bool wasShown = ProcessListShown();
  GiveToOwner(this, opener);
  RunReportingFailures([this] { session_.ShowProcess(); });
  ShowSession();
  if (!wasShown) {
    PlaceBeside(this, opener, kNarrowestList, kOpenerButtonsHeight);
    // Narrowed to the room beside its opener: the names give way so the values stay in view.
    layout()->activate();
    int overflow = -DataGrid->viewport()->width();
    for (int c = 0; c < kDataGridColumns; ++c)
      if (session_.ColumnShown(c) && c <= kValueColumn) overflow += DataGrid->columnWidth(c);
    if (overflow > 0)
      DataGrid->setColumnWidth(
          kNameColumn, std::max(kNarrowestName, DataGrid->columnWidth(kNameColumn) - overflow));
  }
  show();
  raise();
}

void TDataForm::HideProcessList() {
  session_.Hide();
  hide();
}

bool TDataForm::ProcessListShown() const {
  return isVisible() && session_.ProcessMode();
}

void TDataForm::ShowSession() {
  setWindowTitle(session_.Caption());
  BtnOK->setVisible(session_.OkShown());
  BtnOK->setEnabled(session_.OkShown());
  BtnCancel->setText(session_.CancelCaption());
  DataGrid->SetEditing(session_.ProcessMode() ? GridEditing::kNone : GridEditing::kInPlace);
  for (int c = 0; c < kDataGridColumns; ++c) DataGrid->setColumnHidden(c, !session_.ColumnShown(c));
  ShowCells();
  DataGrid->Refresh();

  // Columns fitted to their texts, the window to its columns and (some of) its rows.
  int width = 2 * DataGrid->frameWidth() + DataGrid->verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < kDataGridColumns; ++c) {
    if (!session_.ColumnShown(c)) continue;
    DataGrid->FitColumnWidth(c, kColumnWidths[static_cast<std::size_t>(c)]);
    width += DataGrid->columnWidth(c);
  }
  const int rows = std::min(session_.RowCount() - 1, kRowsInView);
  const int height = kPanelHeight + DataGrid->horizontalHeader()->sizeHint().height() +
                     rows * kRowHeight + 2 * DataGrid->frameWidth() + 3 * kMargin + 2;
  if (!isVisible()) resize(width + 2 * kMargin, height);
}

void TDataForm::ShowCells() {
  DataGrid->SetRowCount(session_.RowCount());
  for (int row = 0; row < session_.RowCount(); ++row) {
    for (int c = 0; c < kDataGridColumns; ++c) DataGrid->SetCell(c, row, Q(session_.Cell(c, row)));
    DataGrid->SetCheckBox(kHoldColumn, row, session_.HasCheckBox(row));
    DataGrid->SetChecked(kHoldColumn, row, session_.Checked(row));
  }
}

void TDataForm::BtnOKClick() {
  DataGrid->CommitEdit();
  bool closes = false;
  RunReportingFailures([this, &closes] { closes = session_.Ok(); });
  if (closes) accept();
}

void TDataForm::reject() {
  RunReportingFailures([this] { session_.Cancel(); });
  QDialog::reject();
}

}  // namespace kvsorv
