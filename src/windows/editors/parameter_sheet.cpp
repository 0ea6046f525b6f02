#include "windows/editors/parameter_sheet.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "editors/parameter_editor_session.h"
#include "windows/common/qt_text.h"
#include "windows/common/string_grid.h"
#include "windows/common/system_colours.h"

namespace kvsorv {

namespace {

// Design widths of the grid's columns; a column is widened to its longest text.
constexpr std::array<int, kParamGridColumns> kColumnWidths = {80, 150, 150, 150};
constexpr int kRowHeight = 24;
// Design positions of the header labels: symbol at 80, value at 182, units at 310 pixels.
constexpr int kSymbolLeft = 80;
constexpr int kSymbolWidth = 102;
constexpr int kValueWidth = 128;
constexpr int kHeaderTop = 14;

}  // namespace

TMyTabSheet::TMyTabSheet(ParameterEditorSession& session, int page, QWidget* parent)
    : QWidget(parent), session_(session), page_(page) {
  const ParameterPage& p = session.Pages().at(static_cast<std::size_t>(page));
  setObjectName(Q("Page" + p.symbol));

  HeaderPanel = new QWidget(this);
  HeaderPanel->setObjectName("HeaderPanel");
  auto* header = new QHBoxLayout(HeaderPanel);
  header->setContentsMargins(kSymbolLeft, kHeaderTop, 8, 6);
  header->setSpacing(0);
  const auto label = [this, header](const char* name, const std::string& text, int width) {
    auto* l = new QLabel(Q(text), HeaderPanel);
    l->setObjectName(name);
    if (width > 0) l->setFixedWidth(width);
    header->addWidget(l, width > 0 ? 0 : 1);
    return l;
  };
  LblProcSymbol = label("LblProcSymbol", p.symbol, kSymbolWidth);
  QFont bold = LblProcSymbol->font();
  bold.setBold(true);
  LblProcSymbol->setFont(bold);
  LblProcValue = label("LblProcValue", p.valueText, kValueWidth);
  LblProcValue->setFont(bold);
  LblProcUnits = label("LblProcUnits", p.units, 0);

  ParamGrid = new StringGrid(this);
  ParamGrid->setObjectName("ParamGrid");
  ParamGrid->SetColCount(kParamGridColumns);
  ParamGrid->SetFixedRows(1);
  ParamGrid->SetRowCount(session.RowCount(page));
  ParamGrid->SetUserColumnSizing(true);
  ParamGrid->SetEditing(GridEditing::kAlwaysShown);
  ParamGrid->SetSelectCellTest(&ParameterEditorSession::CanSelect);
  ParamGrid->SetCellColor([this](int column, int row) {
    return ParameterEditorSession::CanSelect(column, row) ? QColor() : ScrollBarColour(palette());
  });
  ParamGrid->SetRowHeight(kRowHeight);
  ParamGrid->horizontalHeader()->setStretchLastSection(true);
  ShowTexts();
  ParamGrid->SetCurrentCell(kParamValueColumn, 1);
  connect(ParamGrid, &StringGrid::cellEdited, this,
          [this](int column, int row, const QString& text) {
            session_.EditCell(page_, column, row, S(text));
          });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(HeaderPanel);
  layout->addWidget(ParamGrid, 1);
}

void TMyTabSheet::AlignColumns(const std::vector<TMyTabSheet*>& sheets) {
  for (int c = 0; c < kParamGridColumns; ++c) {
    int width = 0;
    for (TMyTabSheet* sheet : sheets) {
      sheet->ParamGrid->FitColumnWidth(c, kColumnWidths[static_cast<std::size_t>(c)]);
      width = std::max(width, sheet->ParamGrid->columnWidth(c));
    }
    for (TMyTabSheet* sheet : sheets) sheet->ParamGrid->setColumnWidth(c, width);
  }
}

void TMyTabSheet::ShowTexts() {
  const ParameterPage& p = session_.Pages().at(static_cast<std::size_t>(page_));
  LblProcValue->setText(Q(p.valueText));
  for (int row = 0; row < session_.RowCount(page_); ++row)
    for (int c = 0; c < kParamGridColumns; ++c)
      ParamGrid->SetCell(c, row, Q(session_.Cell(page_, c, row)));
}

}  // namespace kvsorv
