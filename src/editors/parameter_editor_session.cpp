#include "editors/parameter_editor_session.h"

#include "program/program_files.h"

#include <exception>

#include "editors/value_column.h"
#include "files/driver_file.h"
#include "files/number_text.h"
#include "model/process_evaluation.h"
#include "program/global_tables.h"
#include "program/program_equations.h"
#include "program/prompter.h"
#include "program/run_settings.h"
#include "program/table_change_guard.h"

namespace kvsorv {

ParameterEditorSession::ParameterEditorSession(ProcessList& processList)
    : processList_(processList), pages_(BuildParameterPages()) {}

int ParameterEditorSession::RowCount(int page) const {
  return static_cast<int>(pages_.at(static_cast<std::size_t>(page)).rows.size()) + 1;
}

std::string ParameterEditorSession::Cell(int page, int column, int row) const {
  if (row == 0) return kParamGridHeader.at(static_cast<std::size_t>(column));
  const ParameterRow& r =
      pages_.at(static_cast<std::size_t>(page)).rows.at(static_cast<std::size_t>(row - 1));
  switch (column) {
    case kParamSymbolColumn:
      return r.symbol;
    case kParamNameColumn:
      return r.name;
    case kParamValueColumn:
      return r.valueText;
    case kParamUnitsColumn:
      return r.units;
    default:
      return {};
  }
}

bool ParameterEditorSession::EditCell(int page, int column, int row, std::string text) {
  if (!CanSelect(column, row) || row >= RowCount(page)) return false;
  pages_.at(static_cast<std::size_t>(page)).rows[static_cast<std::size_t>(row - 1)].valueText =
      std::move(text);
  return true;
}

void ParameterEditorSession::Open() {
  committed_ = false;
  Refresh();
}

void ParameterEditorSession::Refresh() {
  const TRunSettings& s = RunSettings;
  caption_ = kParameterCaptionPrefix + s.ParamFileName;
  if (s.DriverFileName.empty()) {
    CurrentPrompter().Message(MessageKind::kWarning, MessageButtons::kOk, kNoDriverFileWarning);
  } else if (!s.NewParamFile && !s.NewDriverFile) {
    try {
      CalculateProcesses();
    } catch (const std::exception&) {
      CurrentPrompter().Message(MessageKind::kWarning, MessageButtons::kOk,
                                kInvalidParameterWarning);
    }
  }
  for (ParameterPage& page : pages_) {
    page.valueText = FormatGeneral(Processes[page.process].value, kProcessValueDigits);
    for (ParameterRow& row : page.rows) row.valueText = FormatForEditing(Params[row.slot].value);
  }
}

void ParameterEditorSession::CalculateProcesses() {
  // The lookup may set the drivers and the evaluation clamp negative states before failing.
  const TableChangeGuard announce({.states = true, .drivers = true, .processes = true});
  const TRunSettings& s = RunSettings;
  LookupDriversAt(s.DriverFileName, Drivers, s.SteadyStateTime, s.StopTime);
  ComputeProcesses(Drivers, Params, States, Processes, s.SteadyStateTime);
}

std::optional<std::vector<double>> ParameterEditorSession::ConvertValues() {
  std::vector<ValueCell> cells;
  std::vector<CellPosition> positions;
  for (int p = 0; p < static_cast<int>(pages_.size()); ++p) {
    const std::vector<ParameterRow>& rows = pages_[static_cast<std::size_t>(p)].rows;
    for (int j = 1; j <= static_cast<int>(rows.size()); ++j) {
      const ParameterRow& row = rows[static_cast<std::size_t>(j - 1)];
      cells.push_back({row.symbol, row.valueText});
      positions.push_back({.page = p, .row = j});
    }
  }
  ConvertedColumn converted = ConvertValueColumn(cells);
  badCell_.reset();
  if (converted.badCell) {
    badCell_ = positions[*converted.badCell];
    return std::nullopt;
  }
  return std::move(converted.values);
}

void ParameterEditorSession::StoreValues(const std::vector<double>& values) {
  std::size_t next = 0;
  for (const ParameterPage& page : pages_)
    for (const ParameterRow& row : page.rows) Params[row.slot].value = values.at(next++);
  RunSettings.ParamsModified = true;
  TableChanges().Notify({.parameters = true});
}

bool ParameterEditorSession::UpdateParams() {
  const auto values = ConvertValues();
  if (!values) return false;
  StoreValues(*values);
  return true;
}

bool ParameterEditorSession::UpdateProcesses() {
  const auto values = ConvertValues();
  if (!values) return false;
  if (!committed_) {
    if (CurrentPrompter().Message(MessageKind::kWarning, MessageButtons::kOkCancel,
                                  kParamsLostQuestion) != Answer::kOk)
      return false;
    committed_ = true;
  }
  StoreValues(*values);
  Refresh();
  return true;
}

bool ParameterEditorSession::ShowAllProcesses() {
  if (!UpdateProcesses()) return false;
  processList_.ShowProcessList();
  return true;
}

bool ParameterEditorSession::Ok() {
  if (!UpdateParams()) return false;
  HideProcessList();
  return true;
}

void ParameterEditorSession::Cancel() {
  HideProcessList();
}

void ParameterEditorSession::HideProcessList() {
  if (processList_.ProcessListShown()) processList_.HideProcessList();
}

}  // namespace kvsorv
