// The parameter editor's rules: the pages built from the catalogue, the opening and its
// warnings, the one confirmation per opening, OK and Cancel, a value cell that is not a
// number, and the process list opened and refreshed from here.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "editors/parameter_editor_session.h"
#include "editors/state_grid_session.h"
#include "files/number_text.h"
#include "model/model_indices.h"
#include "program/global_tables.h"
#include "program/run_settings.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace kvsorv::testing {
namespace {

// The process list as a state grid session, shown and hidden as the window would.
class ListOfProcesses : public ProcessList {
 public:
  ListOfProcesses() = default;
  void ShowProcessList() override { grid.ShowProcess(); }
  void HideProcessList() override { grid.Hide(); }
  bool ProcessListShown() const override { return grid.Shown() && grid.ProcessMode(); }
  StateGridSession grid;
};

class ParameterEditorSessionTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    LoadExample();
    RunSettings.ParamFileName = "site.par";
    RunSettings.DriverFileName = dir.CopyExample("cell1.drr");
    // Created after the catalogue, as the windows are.
    list.emplace();
    editorSession.emplace(*list);
  }

  // The page and row of a parameter.
  std::pair<int, int> Where(const std::string& symbol) const {
    const auto& pages = Editor().Pages();
    for (int p = 0; p < static_cast<int>(pages.size()); ++p)
      for (int j = 1; j <= static_cast<int>(pages[p].rows.size()); ++j)
        if (pages[p].rows[j - 1].symbol == symbol) return {p, j};
    ADD_FAILURE() << symbol;
    return {0, 1};
  }
  bool Edit(const std::string& symbol, const std::string& text) {
    const auto [page, row] = Where(symbol);
    return Editor().EditCell(page, kParamValueColumn, row, text);
  }
  std::string Shown(const std::string& symbol) const {
    const auto [page, row] = Where(symbol);
    return Editor().Cell(page, kParamValueColumn, row);
  }

  TempWorkDir dir;
  ScriptedPrompter prompter;
  std::optional<ListOfProcesses> list;
  std::optional<ParameterEditorSession> editorSession;
  ParameterEditorSession& Editor() { return *editorSession; }
  const ParameterEditorSession& Editor() const { return *editorSession; }
};

TEST_F(ParameterEditorSessionTest, Catalogue_FortyPagesCoverParameters1To88OnceInOrder) {
  const auto& pages = Editor().Pages();
  ASSERT_EQ(pages.size(), 40u);
  EXPECT_EQ(pages[0].caption, "Photosynthesis");
  EXPECT_EQ(pages[0].symbol, "Ps");
  EXPECT_EQ(pages[0].rows.size(), 10u);
  EXPECT_EQ(Editor().RowCount(0), 11);
  int expected = 1;
  int previousProcess = ModelDef.numstate;
  for (const ParameterPage& page : pages) {
    EXPECT_GT(page.process, previousProcess);
    previousProcess = page.process;
    for (const ParameterRow& row : page.rows) {
      EXPECT_EQ(row.slot, expected);
      EXPECT_EQ(row.symbol, Params[expected].symbol);
      ++expected;
    }
  }
  EXPECT_EQ(expected, 89);
  EXPECT_EQ(Editor().Cell(0, kParamValueColumn, 0), "Parameter Value");
  EXPECT_EQ(Editor().Cell(0, kParamSymbolColumn, 10), "Sc");
}

TEST_F(ParameterEditorSessionTest, Opening_ComputesProcessesAndShowsEveryValue) {
  Params[prm::Sc].value = 0.1 + 0.2;
  Editor().Open();
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(Editor().Caption(), "Parameters - File: site.par");
  EXPECT_EQ(Editor().CloseCaption(), std::string("&Cancel"));
  const double ps = Processes[proc::Ps].value;
  EXPECT_GT(ps, 0);
  EXPECT_EQ(Editor().Pages()[0].valueText, FormatGeneral(ps, 5));
  EXPECT_EQ(Shown("Sc"), "0.30000000000000004");  // parses back exactly
  EXPECT_EQ(Shown("Deltad"), "42.5");
}

TEST_F(ParameterEditorSessionTest, ProcessesNotCalculable_WarnAtOpeningAndUpdate) {
  struct Case {
    const char* name;
    std::string driverFile;
    bool newParamFile = false;
    std::vector<std::string> shown;
  };
  const std::vector<Case> cases = {
      {.name = "no driver file",
       .driverFile = "",
       .shown = {"No Driver File. Process values will not be calculated."}},
      {.name = "newly created parameter file",
       .driverFile = RunSettings.DriverFileName,
       .newParamFile = true,
       .shown = {}},
      {.name = "driver file missing on disk",
       .driverFile = dir.File("gone.drr"),
       .shown = {"Cannot read driver file. File does not exist.",
                 "Invalid Parameter. Process values will not be calculated."}},
  };
  for (const Case& c : cases) {
    Processes[proc::Ps].value = 17;
    RunSettings.DriverFileName = c.driverFile;
    RunSettings.NewParamFile = c.newParamFile;
    prompter.messages.clear();
    Editor().Open();
    std::vector<std::string> shown;
    for (const auto& m : prompter.messages) shown.push_back(m.text);
    EXPECT_EQ(shown, c.shown) << c.name;
    EXPECT_EQ(Processes[proc::Ps].value, 17) << c.name;  // as they were
    EXPECT_EQ(Editor().Pages()[0].valueText, "17") << c.name;
  }
  // Without a driver file the warning comes again at each update.
  RunSettings.DriverFileName.clear();
  Editor().Open();
  prompter.messages.clear();
  ASSERT_TRUE(Editor().UpdateProcesses());
  ASSERT_TRUE(Editor().UpdateProcesses());
  std::vector<std::string> shown;
  for (const auto& m : prompter.messages) shown.push_back(m.text);
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "Previous parameter values will be lost if you proceed. Continue?",
                       "No Driver File. Process values will not be calculated.",
                       "No Driver File. Process values will not be calculated."}));
}

TEST_F(ParameterEditorSessionTest, FirstUpdateOfAnOpening_AsksOnceAndCancelStoresNothing) {
  Editor().Open();
  const double sc = Params[prm::Sc].value;
  Edit("Sc", "3");
  prompter.QueueAnswer(Answer::kCancel);
  EXPECT_FALSE(Editor().ShowAllProcesses());
  EXPECT_FALSE(list->ProcessListShown());
  EXPECT_EQ(Params[prm::Sc].value, sc);
  EXPECT_EQ(Shown("Sc"), "3");  // the edit stays
  EXPECT_EQ(Editor().CloseCaption(), std::string("&Cancel"));
  EXPECT_FALSE(RunSettings.ParamsModified);

  const std::size_t asked = prompter.messages.size();
  ASSERT_TRUE(Editor().UpdateProcesses());
  ASSERT_TRUE(Editor().UpdateProcesses());
  EXPECT_EQ(prompter.messages.size(), asked + 1);  // once
  EXPECT_EQ(prompter.messages.back().kind, MessageKind::kWarning);
  EXPECT_EQ(prompter.messages.back().buttons, MessageButtons::kOkCancel);
  EXPECT_EQ(Params[prm::Sc].value, 3);
  EXPECT_TRUE(RunSettings.ParamsModified);
  EXPECT_EQ(Editor().CloseCaption(), std::string("&Close"));
  Editor().Cancel();
  EXPECT_EQ(Params[prm::Sc].value, 3);  // Close keeps what was stored

  Editor().Open();  // a new opening asks again
  EXPECT_EQ(Editor().CloseCaption(), std::string("&Cancel"));
  ASSERT_TRUE(Editor().UpdateProcesses());
  EXPECT_EQ(prompter.messages.size(), asked + 2);
}

TEST_F(ParameterEditorSessionTest, Ok_StoresWithoutAskingOrRecomputing) {
  Editor().Open();
  const processarray before = Processes;
  Edit("Sc", "2.75");
  ASSERT_TRUE(Editor().Ok());
  EXPECT_EQ(Params[prm::Sc].value, 2.75);
  EXPECT_TRUE(RunSettings.ParamsModified);
  EXPECT_EQ(Processes, before);
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(ParameterEditorSessionTest, ValueThatIsNoNumber_StoresNothingAndNamesItsParameter) {
  Editor().Open();
  const paramarray before = Params;
  Edit("Deltad", "40");  // on a page before the bad one
  Edit("knh4", "ten");
  EXPECT_FALSE(Editor().Ok());
  EXPECT_FALSE(Editor().UpdateProcesses());  // reported again, nothing asked
  ASSERT_EQ(prompter.messages.size(), 2u);
  for (const auto& m : prompter.messages) {
    EXPECT_EQ(m.kind, MessageKind::kError);
    EXPECT_EQ(m.text,
              "No values stored: the value of knh4 is not a number.\n"
              "'ten' is not a valid floating point value");
  }
  EXPECT_EQ(Params, before);
  EXPECT_FALSE(RunSettings.ParamsModified);
  EXPECT_FALSE(Editor().Committed());
  ASSERT_TRUE(Editor().BadCell().has_value());
  EXPECT_EQ(Editor().BadCell()->page, Where("knh4").first);
  EXPECT_EQ(Editor().BadCell()->row, Where("knh4").second);
  EXPECT_EQ(Shown("Deltad"), "40");
  EXPECT_EQ(Shown("knh4"), "ten");
}

TEST_F(ParameterEditorSessionTest, ShowAllProcesses_ListOpensAndFollowsEachUpdate) {
  Editor().Open();
  ASSERT_TRUE(Editor().ShowAllProcesses());
  ASSERT_TRUE(list->ProcessListShown());
  const std::string before = list->grid.Cell(kValueColumn, proc::Ps);
  EXPECT_EQ(before, FormatGeneral(Processes[proc::Ps].value, 15));

  Edit("Sc", FormatForEditing(2 * Params[prm::Sc].value));
  ASSERT_TRUE(Editor().UpdateProcesses());
  const std::string after = list->grid.Cell(kValueColumn, proc::Ps);
  EXPECT_NE(after, before);
  EXPECT_EQ(after, FormatGeneral(Processes[proc::Ps].value, 15));

  ASSERT_TRUE(Editor().Ok());
  EXPECT_FALSE(list->ProcessListShown());
}

}  // namespace
}  // namespace kvsorv::testing
