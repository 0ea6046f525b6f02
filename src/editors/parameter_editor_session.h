#pragma once
// The rules of the parameter editor (TFmParameter), without any widget: its pages built from
// the catalogue, the texts of their labels and grids, storing the Parameter Value cells into
// Params, recomputing every process at SteadyStateTime, and the process list opened beside
// it. The window shows the session's texts and hands every edit and button to it. Messages go
// through CurrentPrompter(); changes of the global tables are announced through
// TableChanges(), which also refreshes an open process list.

#include <optional>
#include <string>
#include <vector>

#include "editors/parameter_pages.h"
#include "editors/process_list.h"

namespace kvsorv {

inline constexpr const char* kParameterCaptionPrefix = "Parameters - File: ";
inline constexpr const char* kNoDriverFileWarning =
    "No Driver File. Process values will not be calculated.";
inline constexpr const char* kInvalidParameterWarning =
    "Invalid Parameter. Process values will not be calculated.";
inline constexpr const char* kParamsLostQuestion =
    "Previous parameter values will be lost if you proceed. Continue?";
inline constexpr const char* kCancelCaption = "&Cancel";
inline constexpr const char* kCloseCaption = "&Close";

// Significant digits of the process value shown on each page.
inline constexpr int kProcessValueDigits = 5;

class ParameterEditorSession {
 public:
  // FormCreate: the pages from the catalogue as the global tables now hold it.
  explicit ParameterEditorSession(ProcessList& processList);
  ParameterEditorSession(const ParameterEditorSession&) = delete;
  ParameterEditorSession& operator=(const ParameterEditorSession&) = delete;

  const std::vector<ParameterPage>& Pages() const { return pages_; }
  // A page's grid: row 0 is the header, row j the page's j-th parameter.
  int RowCount(int page) const;
  std::string Cell(int page, int column, int row) const;
  // StringGridSelectCell: only the Parameter Value column can be selected.
  static bool CanSelect(int column, int row) { return column == kParamValueColumn && row >= 1; }
  // The user's text in a cell; only a Parameter Value cell takes it (returns false
  // otherwise). Stored into Params by Update processes or OK.
  bool EditCell(int page, int column, int row, std::string text);

  // FormShow at an opening: uncommitted, BtnClose reads "&Cancel", then Refresh.
  void Open();
  // FormShow as a refresh: the caption "Parameters - File: " + ParamFileName; without a
  // driver file the warning "No Driver File. Process values will not be calculated.";
  // unless a parameter or driver file was just created, the processes recomputed (a failure
  // gives the warning "Invalid Parameter. Process values will not be calculated."); then
  // every process label and value cell rewritten from Processes and Params.
  void Refresh();

  const std::string& Caption() const { return caption_; }
  const char* CloseCaption() const { return committed_ ? kCloseCaption : kCancelCaption; }
  // ParamsCommitted: the first Update processes of this opening was confirmed.
  bool Committed() const { return committed_; }

  // The page and row of the cell that was not a number at the last store that failed.
  struct CellPosition {
    int page = 0;
    int row = 0;
  };
  const std::optional<CellPosition>& BadCell() const { return badCell_; }

  // Recomputes every process at SteadyStateTime with the drivers of the driver file.
  void CalculateProcesses();

  // UpdateProcesses: every value cell converted first (a text that is not a number gives an
  // error box naming its parameter, and nothing is stored or asked); at the first update of
  // an opening the warning "Previous parameter values will be lost if you proceed.
  // Continue?" (OK and Cancel), whose Cancel stores nothing. Then the values stored
  // (ParamsModified set) and Refresh. Returns whether the values were stored.
  bool UpdateProcesses();
  // Show all processes: UpdateProcesses, then the process list, only when it stored.
  bool ShowAllProcesses();
  // OK: the value cells stored without asking and without recomputing; the process list
  // hidden. Returns true when the window closes with OK, false (nothing stored, the texts
  // kept, the window open) when a cell is not a number.
  bool Ok();
  // Cancel or Close, the Esc key and the window's frame: the process list hidden; cell
  // edits not stored are dropped at the next opening.
  void Cancel();

 private:
  // updateparams: all value cells converted, then stored, or nothing stored.
  bool UpdateParams();
  // The numbers of every value cell, page by page, or nullopt after the error box.
  std::optional<std::vector<double>> ConvertValues();
  void StoreValues(const std::vector<double>& values);
  void HideProcessList();

  ProcessList& processList_;
  std::vector<ParameterPage> pages_;
  std::string caption_ = "Parameters";
  bool committed_ = false;
  std::optional<CellPosition> badCell_;
};

}  // namespace kvsorv
