// The reload dialog's rules: which values come back from the parameter file, the flag of
// unsaved values and the change notifier, and a file of another model.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "editors/reload_session.h"
#include "files/param_file.h"
#include "program/change_notifier.h"
#include "program/global_tables.h"
#include "program/program_files.h"
#include "program/run_settings.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace kvsorv {
namespace {

constexpr double kEdited = -7.0;  // a value the example file does not hold

class ReloadSessionTest : public testing::ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    RunSettings.ParamFileName = dir.CopyExample("cell1.par");
    double residual = 0.0;
    ASSERT_TRUE(ReadParamFile(RunSettings.ParamFileName, ModelDef.numparam, Params,
                              ModelDef.numstate, States, residual));
    fileParam = Params[1].value;
    fileState = States[1].value;
  }

  // Edits in the editors since the file was read; the notifier is heard from now on.
  void Edit() {
    Params[1].value = kEdited;
    States[1].value = kEdited;
    States[1].HoldConstant = true;
    RunSettings.ParamsModified = true;
    heard.reset();
    subscription = TableChanges().Subscribe([this](const TableChange& c) { heard = c; });
  }

  testing::TempWorkDir dir;
  testing::ScriptedPrompter prompter;
  ReloadSession session;
  double fileParam = 0.0;
  double fileState = 0.0;
  std::optional<TableChange> heard;
  ChangeNotifier::Subscription subscription;
};

TEST_F(ReloadSessionTest, EachCombinationOfBoxesReloadsItsValuesOnly) {
  const ReloadChoice cases[] = {{.params = true, .states = true},
                                {.params = true, .states = false},
                                {.params = false, .states = true},
                                {.params = false, .states = false}};
  for (const ReloadChoice& c : cases) {
    const std::string what = std::string("params ") + (c.params ? "on" : "off") + ", states " +
                             (c.states ? "on" : "off");
    Edit();
    session.SetChoice(c);
    EXPECT_TRUE(session.Reload()) << what;
    EXPECT_EQ(Params[1].value, c.params ? fileParam : kEdited) << what;
    EXPECT_EQ(States[1].value, c.states ? fileState : kEdited) << what;
    EXPECT_TRUE(States[1].HoldConstant) << what;
    // Unsaved values remain unless both tables were reloaded.
    EXPECT_EQ(RunSettings.ParamsModified, !(c.params && c.states)) << what;
    const TableChange told = heard.value_or(TableChange{});
    EXPECT_EQ(heard.has_value(), c.params || c.states) << what;
    EXPECT_EQ(told.parameters, c.params) << what;
    EXPECT_EQ(told.states, c.states) << what;
  }
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(ReloadSessionTest, AFileOfAnotherModelChangesNothing) {
  dir.Write("cell1.par", "SOME OTHER MODEL     9\r\n");
  Edit();
  EXPECT_FALSE(session.Reload());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text,
            "The parameter file selected is not compatible with this model. No parameters read.");
  EXPECT_EQ(Params[1].value, kEdited);
  EXPECT_EQ(States[1].value, kEdited);
  EXPECT_TRUE(RunSettings.ParamsModified);  // the edits are still unsaved
  EXPECT_FALSE(heard.has_value());
}

}  // namespace
}  // namespace kvsorv
