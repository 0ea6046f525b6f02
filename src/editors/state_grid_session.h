#pragma once
// The rules of the state and process grid (TDataForm), without any widget: as the state
// editor it offers the initial value and the HoldConstant flag of every state, as the process
// list every process with its current value. It holds the grid's texts and check boxes; the
// window shows them and hands every edit, click and button to it. Messages go through
// CurrentPrompter(); changes of the global tables are announced through TableChanges(), and
// an open process list refreshes itself when the processes change.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "model/records.h"
#include "program/change_notifier.h"

namespace kvsorv {

inline constexpr const char* kStateEditorCaption = "State Variables";
inline constexpr const char* kProcessListCaption = "Process Variables";

// Columns of DataGrid.
inline constexpr int kHoldColumn = 0;
inline constexpr int kSymbolColumn = 1;
inline constexpr int kNameColumn = 2;
inline constexpr int kValueColumn = 3;
inline constexpr int kUnitsColumn = 4;
inline constexpr int kDataGridColumns = 5;

// Significant digits of the process list's values (read-only, so they need not parse back
// exactly); state values are offered for editing with as many digits as parse back.
inline constexpr int kProcessListDigits = 15;

// A cell's background: the normal window colour or the system scroll-bar colour (grey).
enum class CellShade { kWindow, kScrollBar };

class StateGridSession {
 public:
  // Places an unchecked check box in column 0 of rows 1..numstate (FormCreate) and listens
  // for changes of the processes.
  StateGridSession();
  StateGridSession(const StateGridSession&) = delete;
  StateGridSession& operator=(const StateGridSession&) = delete;

  // Called after the session refreshed the open process list by itself.
  void SetRefreshListener(std::function<void()> listener) { refreshed_ = std::move(listener); }

  // ShowStates up to the showing: SavedStates := States, the state editor's header, one row
  // per state with its check box set from HoldConstant, current cell column 3 row 1.
  void ShowStates();
  // ShowProcess up to the showing: SavedStates := States, the process list's header and one
  // row per process (UpdateProcess).
  void ShowProcess();
  // Rewrites rows 1..numprocess from Processes.
  void UpdateProcess();

  bool ProcessMode() const { return processMode_; }
  bool Shown() const { return shown_; }
  const char* Caption() const;
  // BtnOK is visible and enabled only in the state editor; BtnCancel's caption.
  bool OkShown() const { return !processMode_; }
  const char* CancelCaption() const;

  // The grid: rows counted with the header row 0.
  int RowCount() const { return static_cast<int>(cells_.size()); }
  const std::string& Cell(int column, int row) const;
  bool ColumnShown(int column) const { return column != kHoldColumn || !processMode_; }
  // Whether row has a check box in column 0, and its state.
  bool HasCheckBox(int row) const;
  bool Checked(int row) const;
  // DataGridSelectCell: only the value column of the state editor's rows.
  bool CanSelect(int column, int row) const;
  // DataGridGetCellColor, the bold header row, and DataGridGetAlignment (columns 0 and 1
  // centred, the others left).
  CellShade Shade(int column, int row) const;
  static bool Bold(int /*column*/, int row) { return row == 0; }
  static bool Centred(int column, int /*row*/) { return column <= kSymbolColumn; }
  int CurrentColumn() const { return kValueColumn; }
  int CurrentRow() const { return 1; }

  // The user's text in a cell; only a cell that can be selected takes it (returns false
  // otherwise).
  bool EditCell(int column, int row, std::string text);
  // DataGridCheckBoxClick: HoldConstant of state `row` := checked, at once.
  void CheckBoxClick(int column, int row, bool checked);

  // SaveStates: every value cell converted first; when one is not a number an error box
  // names its state, nothing is stored and false is returned. Otherwise each state's value
  // and HoldConstant := its row's value and check box.
  bool SaveStates();
  // Every cell emptied, the header row included; three rows remain.
  void ClearGrid();

  // BtnOKClick: SaveStates, ClearGrid, ParamsModified set, OutputAvailable cleared. Returns
  // true when the window closes with OK; false (nothing changed, the texts kept) when a
  // value cell is not a number.
  bool Ok();
  // BtnCancelClick, and closing the window through its frame: States := SavedStates (values
  // and flags as they were at the showing, check-box clicks undone), ClearGrid; the window
  // closes.
  void Cancel();
  // Hidden by the window that opened the list: nothing is settled.
  void Hide() { shown_ = false; }

 private:
  void SetRowCount(int rows);
  void Refresh(const TableChange& change);

  std::vector<std::array<std::string, kDataGridColumns>> cells_;
  std::vector<bool> checks_;  // rows 1..numstate as at creation
  statearray savedStates_;
  bool processMode_ = false;
  bool shown_ = false;
  std::function<void()> refreshed_;
  ChangeNotifier::Subscription subscription_;
};

}  // namespace kvsorv
