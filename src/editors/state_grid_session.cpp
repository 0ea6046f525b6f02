#include "editors/state_grid_session.h"

#include "editors/value_column.h"
#include "files/number_text.h"
#include "program/global_tables.h"
#include "program/run_settings.h"

namespace kvsorv {

namespace {

constexpr std::array<const char*, kDataGridColumns> kStateHeader = {
    "HoldConstant", "State Symbol", "State Variable Name", "State Variable Value",
    "State Variable Units"};
constexpr std::array<const char*, kDataGridColumns> kProcessHeader = {
    "", "Process Symbol", "Process Name", "Process Value", "Process Units"};

// Rows of a grid that has been cleared.
constexpr int kClearedRowCount = 3;

}  // namespace

StateGridSession::StateGridSession()
    : checks_(static_cast<std::size_t>(ModelDef.numstate), false),
      subscription_(TableChanges().Subscribe([this](const TableChange& c) { Refresh(c); })) {
  SetRowCount(kClearedRowCount);
}

void StateGridSession::SetRowCount(int rows) {
  cells_.resize(static_cast<std::size_t>(rows));
}

const std::string& StateGridSession::Cell(int column, int row) const {
  return cells_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

bool StateGridSession::HasCheckBox(int row) const {
  return row >= 1 && row <= static_cast<int>(checks_.size());
}

bool StateGridSession::Checked(int row) const {
  return HasCheckBox(row) && checks_[static_cast<std::size_t>(row - 1)];
}

const char* StateGridSession::Caption() const {
  return processMode_ ? kProcessListCaption : kStateEditorCaption;
}

const char* StateGridSession::CancelCaption() const {
  return processMode_ ? "&Close" : "&Cancel";
}

void StateGridSession::ShowStates() {
  savedStates_ = States;
  processMode_ = false;
  SetRowCount(ModelDef.numstate + 1);
  for (int c = 0; c < kDataGridColumns; ++c)
    cells_[0][static_cast<std::size_t>(c)] = kStateHeader[static_cast<std::size_t>(c)];
  for (int i = 1; i <= ModelDef.numstate; ++i) {
    const Tstatevariable& s = States[i];
    auto& row = cells_[static_cast<std::size_t>(i)];
    row[kSymbolColumn] = s.symbol;
    row[kNameColumn] = s.name;
    row[kValueColumn] = FormatForEditing(s.value);
    row[kUnitsColumn] = s.units;
    if (HasCheckBox(i)) checks_[static_cast<std::size_t>(i - 1)] = s.HoldConstant;
  }
  shown_ = true;
}

void StateGridSession::ShowProcess() {
  savedStates_ = States;
  processMode_ = true;
  SetRowCount(ModelDef.numprocess + 1);
  for (int c = kSymbolColumn; c < kDataGridColumns; ++c)
    cells_[0][static_cast<std::size_t>(c)] = kProcessHeader[static_cast<std::size_t>(c)];
  UpdateProcess();
  shown_ = true;
}

void StateGridSession::UpdateProcess() {
  for (int i = 1; i <= ModelDef.numprocess && i < RowCount(); ++i) {
    const Tprocessvariable& p = Processes[i];
    auto& row = cells_[static_cast<std::size_t>(i)];
    row[kSymbolColumn] = p.symbol;
    row[kNameColumn] = p.name;
    row[kValueColumn] = FormatGeneral(p.value, kProcessListDigits);
    row[kUnitsColumn] = p.units;
  }
}

void StateGridSession::Refresh(const TableChange& change) {
  if (!change.processes || !shown_ || !processMode_) return;
  UpdateProcess();
  if (refreshed_) refreshed_();
}

bool StateGridSession::CanSelect(int column, int row) const {
  return !processMode_ && column == kValueColumn && row >= 1 && row < RowCount();
}

CellShade StateGridSession::Shade(int column, int /*row*/) const {
  return !processMode_ && column == kValueColumn ? CellShade::kWindow : CellShade::kScrollBar;
}

bool StateGridSession::EditCell(int column, int row, std::string text) {
  if (!CanSelect(column, row)) return false;
  cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = std::move(text);
  return true;
}

void StateGridSession::CheckBoxClick(int /*column*/, int row, bool checked) {
  if (!HasCheckBox(row)) return;
  checks_[static_cast<std::size_t>(row - 1)] = checked;
  States[row].HoldConstant = checked;
  TableChanges().Notify({.states = true});
}

bool StateGridSession::SaveStates() {
  std::vector<ValueCell> column;
  for (int i = 1; i <= ModelDef.numstate; ++i)
    column.push_back({States[i].symbol, Cell(kValueColumn, i)});
  const ConvertedColumn converted = ConvertValueColumn(column);
  if (converted.badCell) return false;
  for (int i = 1; i <= ModelDef.numstate; ++i) {
    States[i].value = converted.values[static_cast<std::size_t>(i - 1)];
    States[i].HoldConstant = Checked(i);
  }
  TableChanges().Notify({.states = true});
  return true;
}

void StateGridSession::ClearGrid() {
  for (auto& row : cells_) row.fill(std::string());
  SetRowCount(kClearedRowCount);
}

bool StateGridSession::Ok() {
  if (processMode_ || !SaveStates()) return false;
  ClearGrid();
  RunSettings.ParamsModified = true;
  RunSettings.OutputAvailable = false;
  shown_ = false;
  return true;
}

void StateGridSession::Cancel() {
  if (!shown_) return;  // nothing was saved to go back to
  States = savedStates_;
  TableChanges().Notify({.states = true});
  ClearGrid();
  shown_ = false;
}

}  // namespace kvsorv
