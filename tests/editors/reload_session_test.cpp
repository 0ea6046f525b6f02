// The reload dialog's rules: which values come back from the parameter file, the flag of
// unsaved values, the change notifier, and files that are not reloaded.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "editors/reload_session.h"
#include "files/param_file.h"
#include "model/globals.h"
#include "program/change_notifier.h"
#include "program/run_settings.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace kvsorv {
namespace {

using testing::ModelTest;
using testing::ScriptedPrompter;
using testing::TempWorkDir;

constexpr double kEdited = -7.0;  // a value no example file holds

class ReloadSessionTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    RunSettings.ParamFileName = dir.CopyExample("cell1.par");
    double residual = 0.0;
    ASSERT_TRUE(ReadParamFile(RunSettings.ParamFileName, ModelDef.numparam, Params,
                              ModelDef.numstate, States, residual));
    fileState = States[1].value;
    fileParam = Params[1].value;
  }

  // Edits in the editors since the file was read.
  void Edit() {
    States[1].value = kEdited;
    States[1].HoldConstant = true;
    Params[1].value = kEdited;
    RunSettings.ParamsModified = true;
  }

  // Listens to the change notifier from now on.
  void Listen() {
    heard.reset();
    subscription = TableChanges().Subscribe([this](const TableChange& c) { heard = c; });
  }

  TempWorkDir dir;
  ScriptedPrompter prompter;
  ReloadSession session;
  double fileState = 0.0;
  double fileParam = 0.0;
  std::optional<TableChange> heard;
  ChangeNotifier::Subscription subscription;
};

TEST_F(ReloadSessionTest, EachCombinationOfBoxesReloadsItsValuesOnly) {
  struct Case {
    ReloadChoice choice;
    bool modifiedAfter;  // ParamsModified: clear only when no unsaved value remains
  };
  const Case cases[] = {
      {{.params = true, .states = true}, false},
      {{.params = true, .states = false}, true},
      {{.params = false, .states = true}, true},
      {{.params = false, .states = false}, true},
  };
  for (const Case& c : cases) {
    const std::string what = std::string("params ") + (c.choice.params ? "on" : "off") +
                             ", states " + (c.choice.states ? "on" : "off");
    Edit();
    Listen();
    session.SetChoice(c.choice);
    EXPECT_TRUE(session.Reload()) << what;
    EXPECT_EQ(Params[1].value, c.choice.params ? fileParam : kEdited) << what;
    EXPECT_EQ(States[1].value, c.choice.states ? fileState : kEdited) << what;
    EXPECT_TRUE(States[1].HoldConstant) << what;
    EXPECT_EQ(States[1].symbol, "Cf") << what;
    EXPECT_EQ(RunSettings.ParamsModified, c.modifiedAfter) << what;
    if (c.choice.params || c.choice.states) {
      ASSERT_TRUE(heard.has_value()) << what;
      EXPECT_EQ(heard->parameters, c.choice.params) << what;
      EXPECT_EQ(heard->states, c.choice.states) << what;
    } else {
      EXPECT_FALSE(heard.has_value()) << what;
    }
  }
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(ReloadSessionTest, AFileThatIsNotReloadedChangesNothing) {
  struct Case {
    const char* what;
    const char* file;
    std::optional<std::string> content;  // none: the file does not exist
    std::optional<std::string> message;  // the error shown, when known
  };
  const Case cases[] = {
      {"another model", "alien.par", "SOME OTHER MODEL     9\r\n",
       "The parameter file selected is not compatible with this model. No parameters read."},
      {"a file that is gone", "gone.par", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    ScriptedPrompter script;
    if (c.content) dir.Write(c.file, *c.content);
    RunSettings.ParamFileName = dir.File(c.file);
    Edit();
    Listen();
    EXPECT_FALSE(session.Reload()) << c.what;
    ASSERT_EQ(script.messages.size(), 1u) << c.what;
    EXPECT_EQ(script.messages[0].kind, MessageKind::kError) << c.what;
    if (c.message) {
      EXPECT_EQ(script.messages[0].text, *c.message) << c.what;
    }
    EXPECT_EQ(Params[1].value, kEdited) << c.what;
    EXPECT_EQ(States[1].value, kEdited) << c.what;
    EXPECT_TRUE(RunSettings.ParamsModified) << c.what;  // the edits are still unsaved
    EXPECT_FALSE(heard.has_value()) << c.what;
  }
}

}  // namespace
}  // namespace kvsorv
