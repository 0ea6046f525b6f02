// The driver editor's rules: what it shows, and when Save File, Close and Choose Driver File
// write, ask, close or go back to the text.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "editors/driver_editor_session.h"
#include "files/driver_series.h"
#include "model/globals.h"
#include "program/run_settings.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace kvsorv {
namespace {

namespace fs = std::filesystem;
using testing::ModelTest;
using testing::ScriptedPrompter;
using testing::TempWorkDir;

class DriverEditorSessionTest : public ModelTest {
 protected:
  // Opens the editor on a copy of the example driver file.
  std::string OpenExample() {
    RunSettings.DriverFileName = dir.CopyExample("cell1.drr");
    session.Open();
    return RunSettings.DriverFileName;
  }

  TempWorkDir dir;
  ScriptedPrompter prompter;
  int choices = 0;
  DriverEditorSession session{[this] { ++choices; }};
};

TEST_F(DriverEditorSessionTest, WithoutADriverFileTheHeaderIsShownAndSaved) {
  session.Open();
  EXPECT_EQ(session.Caption(), "Driver Variables - No driver file selected");
  EXPECT_EQ(session.Text().find("Time                 CO2"), 0u);
  EXPECT_EQ(session.Text().find("\nyear                 ppmv"), 210u);
  EXPECT_FALSE(session.Modified());

  prompter.QueueFile(dir.File("new.drr"));
  EXPECT_EQ(session.Save(session.Text()), NoteResult::kCloseOk);
  ASSERT_EQ(prompter.fileRequests.size(), 1u);
  EXPECT_EQ(prompter.fileRequests[0].title, "Save Driver File as");
  EXPECT_EQ(prompter.fileRequests[0].initialName, "");
  EXPECT_EQ(dir.Read("new.drr"),
            session.Text().substr(0, 210) + "\r\n" + session.Text().substr(211) + "\r\n");
  EXPECT_EQ(RunSettings.DriverFileName, dir.File("new.drr"));
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DriverEditorSessionTest, UnchangedTextRewritesTheFileIn21CharacterFields) {
  const std::string name = OpenExample();
  const DriverSeries before = ReadDriverSeries(name, ModelDef.numdrivers);
  RunSettings.NewDriverFile = true;
  EXPECT_EQ(session.Caption(), "Driver Variables - " + name);

  prompter.QueueFile(name);
  EXPECT_EQ(session.Save(session.Text()), NoteResult::kCloseOk);
  EXPECT_EQ(prompter.fileRequests[0].initialName, name);
  EXPECT_FALSE(RunSettings.NewDriverFile);
  EXPECT_EQ(dir.Read("cell1.drr").substr(0, 63),
            "Time                 CO2                  Daily Air Temp max   ");
  const DriverSeries after = ReadDriverSeries(name, ModelDef.numdrivers);
  EXPECT_EQ(after.times, before.times);
  EXPECT_EQ(after.values, before.values);
}

TEST_F(DriverEditorSessionTest, AMissingFileIsReportedAndShowsTheHeaderOnly) {
  RunSettings.DriverFileName = dir.File("gone.drr");
  session.Open();
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[0].text, "Cannot read driver file. File does not exist.");
  EXPECT_EQ(prompter.messages[1].kind, MessageKind::kError);
  EXPECT_EQ(session.Text().size(), 2 * 210u + 1);
}

TEST_F(DriverEditorSessionTest, SaveThatWritesNothingGoesBackWithTheNameKept) {
  struct Case {
    const char* what;
    std::string edit;                   // appended to the text
    std::optional<Answer> warning;      // the answer to the read-back warning, if one comes
    std::optional<std::string> chosen;  // the save dialog's answer
    bool reported = false;              // a failure was reported
  };
  const std::string blocked = dir.File("cell1.drr.tmp");  // where the new text would go
  const Case cases[] = {
      {.what = "save dialog cancelled",
       .edit = "",
       .warning = std::nullopt,
       .chosen = std::nullopt},
      {.what = "text that does not read, back to it",
       .edit = "\n1 2 3 x4",
       .warning = Answer::kNo,
       .chosen = dir.File("never.drr")},
      {.what = "the old file cannot be replaced",
       .edit = "",
       .warning = std::nullopt,
       .chosen = dir.File("cell1.drr"),
       .reported = true},
      {.what = "a new name in a missing directory",
       .edit = "",
       .warning = std::nullopt,
       .chosen = dir.File("missing/cell2.drr"),
       .reported = true},
  };
  for (const Case& c : cases) {
    const std::string name = OpenExample();
    const std::string original = dir.Read("cell1.drr");
    fs::create_directory(blocked);
    ScriptedPrompter script;
    if (c.warning) script.QueueAnswer(*c.warning);
    script.QueueFile(c.chosen);
    EXPECT_EQ(session.Save(session.Text() + c.edit), NoteResult::kStayOpen) << c.what;
    EXPECT_EQ(script.fileRequests.size(), c.warning == Answer::kNo ? 0u : 1u) << c.what;
    EXPECT_EQ(!script.messages.empty() && script.messages.back().kind == MessageKind::kError,
              c.reported)
        << c.what;
    EXPECT_EQ(RunSettings.DriverFileName, name) << c.what;
    EXPECT_EQ(dir.Read("cell1.drr"), original) << c.what;
    EXPECT_FALSE(fs::exists(dir.File("never.drr"))) << c.what;
    fs::remove(blocked);
  }
}

TEST_F(DriverEditorSessionTest, TextThatDoesNotReadCanBeSavedAnyway) {
  OpenExample();
  const std::string text = session.Text() + "\n1 2 3 x4";
  prompter.QueueAnswer(Answer::kYes);
  prompter.QueueFile(dir.File("anyway.drr"));
  EXPECT_EQ(session.Save(text), NoteResult::kCloseOk);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(prompter.messages[0].text,
            "Line 8 of the driver text does not read: 'x4' is not a number.\n\nSave the driver "
            "file anyway?");
  EXPECT_TRUE(fs::exists(dir.File("anyway.drr")));
}

TEST_F(DriverEditorSessionTest, CloseAndChooseAskAboutEditsAndGoBackWhenNothingIsSaved) {
  enum class Command { kClose, kChoose };
  struct Case {
    const char* what;
    Command command;
    bool modified;
    std::optional<Answer> answer;       // to the question about the edits (none: not asked)
    std::optional<std::string> chosen;  // the save dialog's answer after Yes
    bool goesBack;                      // the window stays open with the edits
  };
  const std::string saved = dir.File("saved.drr");
  const Case cases[] = {
      {"close unmodified", Command::kClose, false, {}, {}, false},
      {"close, No", Command::kClose, true, Answer::kNo, {}, false},
      {"close, Yes, dialog cancelled", Command::kClose, true, Answer::kYes, std::nullopt, true},
      {"close, Yes, saved", Command::kClose, true, Answer::kYes, saved, false},
      {"choose unmodified", Command::kChoose, false, {}, {}, false},
      {"choose, No", Command::kChoose, true, Answer::kNo, {}, false},
      {"choose, Yes, dialog cancelled", Command::kChoose, true, Answer::kYes, std::nullopt, true},
      {"choose, Yes, saved", Command::kChoose, true, Answer::kYes, saved, false},
  };
  for (const Case& c : cases) {
    OpenExample();
    fs::remove(saved);
    ScriptedPrompter script;
    choices = 0;
    session.SetModified(c.modified);
    if (c.answer) script.QueueAnswer(*c.answer);
    script.QueueFile(c.chosen);
    const std::string text = session.Text() + "\n1850 1 2 3 4 5 6 7 8 9";
    const bool saves = c.chosen.has_value();
    // Closing with OK tells the main window that the driver file was written.
    const NoteResult closed = saves ? NoteResult::kCloseOk : NoteResult::kCloseCancel;
    if (c.command == Command::kClose) {
      EXPECT_EQ(session.Close(text), c.goesBack ? NoteResult::kStayOpen : closed) << c.what;
    } else {
      EXPECT_EQ(session.Choose(text), !c.goesBack) << c.what;
      EXPECT_EQ(choices, c.goesBack ? 0 : 1) << c.what;
      if (!c.goesBack) {
        EXPECT_FALSE(session.Modified()) << c.what;  // the chosen file's text, unmodified
      }
    }
    if (c.goesBack) {
      EXPECT_TRUE(session.Modified()) << c.what;
    }
    ASSERT_EQ(script.messages.size(), c.answer ? 1u : 0u) << c.what;
    if (c.answer) {
      EXPECT_EQ(script.messages[0].kind, MessageKind::kWarning);
      EXPECT_EQ(script.messages[0].text, kDriversLostQuestion);
    }
    EXPECT_EQ(fs::exists(saved), saves) << c.what;
    session.SetModified(false);
    EXPECT_EQ(session.Close(session.Text()), closed) << c.what;
  }
}

}  // namespace
}  // namespace kvsorv
