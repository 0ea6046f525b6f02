#include "windows/display/output_table_view.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

#include "windows/common/system_colours.h"

namespace kvsorv {

namespace {

constexpr int kColumnWidth = 65;
// Room around a cell's text: its margins and the grid line.
constexpr int kCellPadding = 10;
// The widest value a "%.4g" cell holds with a two-digit exponent.
constexpr const char* kWidestValue = "-8.888E+88";
// The first row of the model below its header rows: the units.
constexpr int kUnitsRow = 2;
constexpr int kRowHeight = 20;
// Rows of the model that the horizontal header shows instead: the index and the name.
constexpr int kRowsInHeader = 2;

void SetUp(QTableView* view) {
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setShowGrid(true);
  view->setWordWrap(false);
  view->verticalHeader()->hide();
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(kRowHeight);
  view->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
  view->horizontalHeader()->setMinimumSectionSize(8);
  view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  QPalette palette = view->palette();
  palette.setColor(QPalette::Base, InactiveBorderColour());
  view->setPalette(palette);
}

}  // namespace

OutputTableView::OutputTableView(QWidget* parent)
    : QTableView(parent), fixed_(new QTableView(this)) {
  SetUp(this);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  SetUp(fixed_);
  fixed_->setObjectName("SgModelOutputFixedColumn");
  fixed_->setFocusPolicy(Qt::NoFocus);
  fixed_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  fixed_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  fixed_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  fixed_->setFrameShape(QFrame::NoFrame);
  viewport()->stackUnder(fixed_);

  connect(horizontalHeader(), &QHeaderView::sectionResized, this,
          [this](int section, int, int width) {
            if (section != 0) return;
            fixed_->setColumnWidth(0, width);
            PlaceFixedColumn();
          });
  connect(fixed_->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
          &QScrollBar::setValue);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, fixed_->verticalScrollBar(),
          &QScrollBar::setValue);
}

void OutputTableView::setModel(QAbstractItemModel* model) {
  QTableView::setModel(model);
  fixed_->setModel(model);
  fixed_->setSelectionModel(selectionModel());
  connect(model, &QAbstractItemModel::modelReset, this, &OutputTableView::HideHeaderRowsAndColumns);
  HideHeaderRowsAndColumns();
}

void OutputTableView::HideHeaderRowsAndColumns() {
  if (model() == nullptr) return;
  for (int r = 0; r < kRowsInHeader && r < model()->rowCount(); ++r) {
    setRowHidden(r, true);
    fixed_->setRowHidden(r, true);
  }
  for (int c = 1; c < model()->columnCount(); ++c) fixed_->setColumnHidden(c, true);
  FitColumnWidths();
  fixed_->setColumnWidth(0, columnWidth(0));
  PlaceFixedColumn();
}

void OutputTableView::FitColumnWidths() {
  const QFontMetrics metrics(font());
  const auto textWidth = [&](int row, int column) {
    return metrics.horizontalAdvance(model()->index(row, column).data().toString()) + kCellPadding;
  };
  const int valueWidth =
      std::max(kColumnWidth, metrics.horizontalAdvance(kWidestValue) + kCellPadding);
  for (int c = 0; c < model()->columnCount(); ++c) {
    int width = c == 0 ? kColumnWidth : valueWidth;
    if (model()->rowCount() > kUnitsRow) width = std::max(width, textWidth(kUnitsRow, c));
    // The time has as many digits as its records need: measure them all.
    if (c == 0)
      for (int r = kUnitsRow + 1; r < model()->rowCount(); ++r)
        width = std::max(width, textWidth(r, 0));
    setColumnWidth(c, width);
  }
}

void OutputTableView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  PlaceFixedColumn();
}

void OutputTableView::updateGeometries() {
  QTableView::updateGeometries();
  PlaceFixedColumn();
}

void OutputTableView::PlaceFixedColumn() {
  fixed_->setGeometry(frameWidth(), frameWidth(), columnWidth(0),
                      viewport()->height() + horizontalHeader()->height());
  fixed_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
}

QModelIndex OutputTableView::moveCursor(CursorAction cursorAction,
                                        Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
  // Keep a cell moved to by the keyboard out from under the fixed column.
  if (cursorAction == MoveLeft && current.column() > 0 &&
      visualRect(current).topLeft().x() < fixed_->columnWidth(0)) {
    const int value =
        horizontalScrollBar()->value() + visualRect(current).topLeft().x() - fixed_->columnWidth(0);
    horizontalScrollBar()->setValue(value);
  }
  return current;
}

void OutputTableView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (index.column() > 0) QTableView::scrollTo(index, hint);
}

}  // namespace kvsorv
