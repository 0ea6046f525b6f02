// The state and process grid's rules: rows and columns of both modes, which cells can be
// selected, check boxes writing through, OK and Cancel, a value cell that is not a number,
// and the open process list refreshing itself.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "editors/state_grid_session.h"
#include "model/model_indices.h"
#include "program/change_notifier.h"
#include "program/global_tables.h"
#include "program/run_settings.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"

namespace kvsorv::testing {
namespace {

class StateGridSessionTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    LoadExample();
    session.emplace();  // after the catalogue, as the window is
  }

  ScriptedPrompter prompter;
  std::optional<StateGridSession> session;
  StateGridSession& Grid() { return *session; }
};

TEST_F(StateGridSessionTest, EachMode_ShowsItsRowsHeadersAndColumns) {
  Grid().ShowStates();
  EXPECT_EQ(Grid().RowCount(), 20);
  EXPECT_EQ(Grid().Caption(), std::string("State Variables"));
  EXPECT_EQ(Grid().Cell(kHoldColumn, 0), "HoldConstant");
  EXPECT_EQ(Grid().Cell(kValueColumn, 0), "State Variable Value");
  EXPECT_EQ(Grid().Cell(kSymbolColumn, 1), "Cf");
  EXPECT_EQ(Grid().Cell(kValueColumn, st::Cw), "10000");
  EXPECT_TRUE(Grid().ColumnShown(kHoldColumn));
  EXPECT_TRUE(Grid().OkShown());

  Grid().ShowProcess();
  EXPECT_EQ(Grid().RowCount(), 127);
  EXPECT_EQ(Grid().Caption(), std::string("Process Variables"));
  EXPECT_EQ(Grid().CancelCaption(), std::string("&Close"));
  EXPECT_FALSE(Grid().OkShown());
  EXPECT_FALSE(Grid().ColumnShown(kHoldColumn));
  EXPECT_EQ(Grid().Cell(kSymbolColumn, 0), "Process Symbol");
  for (int i = 1; i <= 19; ++i)
    EXPECT_EQ(Grid().Cell(kSymbolColumn, i), "d" + States[i].symbol + "dt") << i;

  // The state editor again shows the HoldConstant column.
  Grid().ShowStates();
  EXPECT_TRUE(Grid().ColumnShown(kHoldColumn));
  EXPECT_EQ(Grid().Cell(kSymbolColumn, 0), "State Symbol");
}

TEST_F(StateGridSessionTest, AnyCell_SelectableOnlyInTheStateEditorsValueColumn) {
  struct Case {
    bool processMode;
    int column;
    int row;
    bool selectable;
  };
  const Case cases[] = {
      {.processMode = false, .column = kValueColumn, .row = 1, .selectable = true},
      {.processMode = false, .column = kValueColumn, .row = 19, .selectable = true},
      {.processMode = false, .column = kValueColumn, .row = 0, .selectable = false},
      {.processMode = false, .column = kValueColumn, .row = 20, .selectable = false},
      {.processMode = false, .column = kHoldColumn, .row = 1, .selectable = false},
      {.processMode = false, .column = kSymbolColumn, .row = 1, .selectable = false},
      {.processMode = false, .column = kNameColumn, .row = 1, .selectable = false},
      {.processMode = false, .column = kUnitsColumn, .row = 1, .selectable = false},
      {.processMode = true, .column = kValueColumn, .row = 1, .selectable = false},
  };
  for (const Case& c : cases) {
    c.processMode ? Grid().ShowProcess() : Grid().ShowStates();
    EXPECT_EQ(Grid().CanSelect(c.column, c.row), c.selectable)
        << c.processMode << " " << c.column << " " << c.row;
    // A cell that cannot be selected cannot take a text either.
    const std::string before = Grid().Cell(c.column, std::min(c.row, Grid().RowCount() - 1));
    EXPECT_EQ(Grid().EditCell(c.column, c.row, "5"), c.selectable);
    if (!c.selectable && c.row < Grid().RowCount()) {
      EXPECT_EQ(Grid().Cell(c.column, c.row), before);
    }
  }
}

TEST_F(StateGridSessionTest, CheckBoxClick_WritesThroughCancelUndoesItOkKeepsIt) {
  States[st::Nnh4].HoldConstant = true;
  Grid().ShowStates();
  EXPECT_TRUE(Grid().Checked(st::Nnh4));
  EXPECT_FALSE(Grid().Checked(st::Cf));
  Grid().CheckBoxClick(kHoldColumn, st::Cf, true);
  Grid().CheckBoxClick(kHoldColumn, st::Nnh4, false);
  EXPECT_TRUE(States[st::Cf].HoldConstant);  // at once
  EXPECT_FALSE(States[st::Nnh4].HoldConstant);
  Grid().Cancel();
  EXPECT_FALSE(States[st::Cf].HoldConstant);
  EXPECT_TRUE(States[st::Nnh4].HoldConstant);

  Grid().ShowStates();
  Grid().CheckBoxClick(kHoldColumn, st::Cf, true);
  ASSERT_TRUE(Grid().Ok());
  EXPECT_TRUE(States[st::Cf].HoldConstant);
  EXPECT_TRUE(States[st::Nnh4].HoldConstant);
}

TEST_F(StateGridSessionTest, Cancel_RestoresEveryStateRecordExactly) {
  States[st::Ch].value = 0.1 + 0.2;  // needs 17 digits to come back
  const statearray before = States;
  Grid().ShowStates();
  Grid().EditCell(kValueColumn, st::Cw, "1");
  Grid().CheckBoxClick(kHoldColumn, st::Cr, true);
  States[st::Nf].value = -3;  // changed elsewhere while the editor is open
  Grid().Cancel();
  EXPECT_EQ(States, before);
  EXPECT_EQ(Grid().RowCount(), 3);  // ClearGrid
  EXPECT_EQ(Grid().Cell(kHoldColumn, 0), "");
  EXPECT_FALSE(Grid().Shown());
}

TEST_F(StateGridSessionTest, Ok_StoresValuesAndAlwaysMarksParametersModified) {
  RunSettings.OutputAvailable = true;
  const statearray before = States;
  Grid().ShowStates();
  ASSERT_TRUE(Grid().Ok());  // nothing changed
  EXPECT_EQ(States, before);
  EXPECT_TRUE(RunSettings.ParamsModified);
  EXPECT_FALSE(RunSettings.OutputAvailable);

  Grid().ShowStates();
  Grid().EditCell(kValueColumn, st::Cw, " -2.5e3 ");  // blanks around, negative: accepted
  Grid().EditCell(kValueColumn, st::Ch, "0.30000000000000004");
  ASSERT_TRUE(Grid().Ok());
  EXPECT_EQ(States[st::Cw].value, -2500);
  EXPECT_EQ(States[st::Ch].value, 0.1 + 0.2);
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(StateGridSessionTest, ValueThatIsNoNumber_StoresNothingNamesItsStateKeepsTheEdits) {
  RunSettings.OutputAvailable = true;
  const statearray before = States;
  Grid().ShowStates();
  Grid().EditCell(kValueColumn, st::Cf, "123");  // a row before the bad one
  Grid().EditCell(kValueColumn, st::Nr, "1,5");
  Grid().CheckBoxClick(kHoldColumn, st::Cw, true);
  EXPECT_FALSE(Grid().Ok());

  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::kError);
  EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::kOk);
  EXPECT_EQ(prompter.messages[0].text,
            "No values stored: the value of Nr is not a number.\n"
            "'1,5' is not a valid floating point value");
  EXPECT_EQ(States[st::Cf].value, before[st::Cf].value);
  EXPECT_TRUE(States[st::Cw].HoldConstant);  // the click had written through
  EXPECT_FALSE(RunSettings.ParamsModified);
  EXPECT_TRUE(RunSettings.OutputAvailable);
  // The window stays open with the user's texts.
  EXPECT_TRUE(Grid().Shown());
  EXPECT_EQ(Grid().Cell(kValueColumn, st::Cf), "123");
  EXPECT_EQ(Grid().Cell(kValueColumn, st::Nr), "1,5");

  Grid().EditCell(kValueColumn, st::Nr, "1.5");
  ASSERT_TRUE(Grid().Ok());
  EXPECT_EQ(States[st::Cf].value, 123);
  EXPECT_EQ(States[st::Nr].value, 1.5);
}

TEST_F(StateGridSessionTest, ProcessesChange_OpenProcessListRefreshes) {
  int refreshes = 0;
  Grid().SetRefreshListener([&] { ++refreshes; });
  const auto change = [](double value, const TableChange& what) {
    Processes[proc::Ps].value = value;
    TableChanges().Notify(what);
  };

  Grid().ShowProcess();
  change(1234.5, {.processes = true});
  EXPECT_EQ(Grid().Cell(kValueColumn, proc::Ps), "1234.5");
  change(99, {.parameters = true});  // not the processes: no refresh
  EXPECT_EQ(Grid().Cell(kValueColumn, proc::Ps), "1234.5");
  EXPECT_EQ(refreshes, 1);

  Grid().Hide();
  change(7, {.processes = true});
  Grid().ShowStates();
  change(8, {.processes = true});
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(Grid().Cell(kSymbolColumn, 1), "Cf");
}

}  // namespace
}  // namespace kvsorv::testing
