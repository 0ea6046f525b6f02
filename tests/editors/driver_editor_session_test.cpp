// The driver editor's rules: when Save File, Close and Choose Driver File write, ask, close
// or go back to the text with the edits and the driver file's name kept.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "editors/driver_editor_session.h"
#include "program/run_settings.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace kvsorv {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedPrompter;

class DriverEditorSessionTest : public testing::ModelTest {
 protected:
  // Opens the editor on a fresh copy of the example driver file.
  void OpenExample() {
    RunSettings.DriverFileName = dir.CopyExample("cell1.drr");
    session.Open();
  }

  testing::TempWorkDir dir;
  ScriptedPrompter prompter;
  int choices = 0;
  DriverEditorSession session{[this] { ++choices; }};
};

TEST_F(DriverEditorSessionTest, WithoutADriverFileTheHeaderIsShownAndSaved) {
  session.Open();
  EXPECT_EQ(session.Caption(), "Driver Variables - No driver file selected");
  prompter.QueueFile(dir.File("new.drr"));
  EXPECT_EQ(session.Save(session.Text()), NoteResult::kCloseOk);
  EXPECT_EQ(prompter.fileRequests.at(0).initialName, "");
  EXPECT_EQ(dir.Read("new.drr").substr(0, 24), "Time                 CO2");
  EXPECT_EQ(std::count(session.Text().begin(), session.Text().end(), '\n'), 1);
  EXPECT_EQ(RunSettings.DriverFileName, dir.File("new.drr"));
}

TEST_F(DriverEditorSessionTest, SaveWritesOnlyWhenEverythingSucceedsAndKeepsTheNameOtherwise) {
  struct Case {
    const char* what;
    std::string edit;                                  // appended to the text
    std::optional<Answer> warning = std::nullopt;      // the answer to the read-back warning
    std::optional<std::string> chosen = std::nullopt;  // the save dialog's answer
    bool saved = false;
    bool reported = false;  // the failed write is reported
  };
  const std::string blocked = dir.File("cell1.drr.tmp");  // where the new text would go first
  const Case cases[] = {
      {.what = "save dialog cancelled", .edit = ""},
      {.what = "text that does not read, back to it",
       .edit = "\n1 2 x3",
       .warning = Answer::kNo,
       .chosen = "never.drr"},
      {.what = "text that does not read, saved anyway",
       .edit = "\n1 2 x3",
       .warning = Answer::kYes,
       .chosen = "anyway.drr",
       .saved = true},
      {.what = "the old file cannot be replaced",
       .edit = "",
       .chosen = "cell1.drr",
       .reported = true},
      {.what = "a new name in a missing directory",
       .edit = "",
       .chosen = "missing/cell2.drr",
       .reported = true},
  };
  for (const Case& c : cases) {
    OpenExample();
    const std::string name = RunSettings.DriverFileName;
    const std::string original = dir.Read("cell1.drr");
    fs::create_directory(blocked);
    ScriptedPrompter script;
    if (c.warning) script.QueueAnswer(*c.warning);
    script.QueueFile(c.chosen ? std::optional(dir.File(*c.chosen)) : std::nullopt);

    EXPECT_EQ(session.Save(session.Text() + c.edit),
              c.saved ? NoteResult::kCloseOk : NoteResult::kStayOpen)
        << c.what;
    EXPECT_EQ(RunSettings.DriverFileName, c.saved ? dir.File(*c.chosen) : name) << c.what;
    EXPECT_EQ(dir.Read("cell1.drr"), original) << c.what;
    EXPECT_EQ(script.fileRequests.size(), c.warning == Answer::kNo ? 0u : 1u) << c.what;
    if (c.saved) {
      EXPECT_TRUE(fs::exists(dir.File(*c.chosen))) << c.what;
    }
    EXPECT_EQ(!script.messages.empty() && script.messages.back().kind == MessageKind::kError,
              c.reported)
        << c.what;
    if (c.warning) {
      EXPECT_TRUE(script.messages.at(0).text.ends_with("\n\nSave the driver file anyway?"));
    }
    fs::remove(blocked);
  }
}

TEST_F(DriverEditorSessionTest, CloseAndChooseAskAboutEditsAndGoBackWhenNothingIsSaved) {
  struct Case {
    const char* what;
    bool modified = false;
    std::optional<Answer> answer = std::nullopt;       // to the question about the edits, if asked
    std::optional<std::string> chosen = std::nullopt;  // the save dialog's answer after Yes
    bool goesBack = false;                             // the window stays open with the edits
  };
  const std::string saved = dir.File("saved.drr");
  const Case cases[] = {
      {.what = "unmodified"},
      {.what = "No", .modified = true, .answer = Answer::kNo},
      {.what = "Yes, dialog cancelled", .modified = true, .answer = Answer::kYes, .goesBack = true},
      {.what = "Yes, saved", .modified = true, .answer = Answer::kYes, .chosen = saved},
  };
  for (const bool choose : {false, true}) {
    for (const Case& c : cases) {
      const std::string what = (choose ? "choose, " : "close, ") + std::string(c.what);
      OpenExample();
      fs::remove(saved);
      ScriptedPrompter script;
      choices = 0;
      session.SetModified(c.modified);
      if (c.answer) script.QueueAnswer(*c.answer);
      script.QueueFile(c.chosen);
      const std::string text = session.Text() + "\n1850 1 2 3 4 5 6 7 8 9";
      // Closing with OK tells the main window that the driver file was written.
      const NoteResult closed = c.chosen ? NoteResult::kCloseOk : NoteResult::kCloseCancel;
      if (choose) {
        EXPECT_EQ(session.Choose(text), !c.goesBack) << what;
        EXPECT_EQ(choices, c.goesBack ? 0 : 1) << what;
        EXPECT_EQ(session.Modified(), c.goesBack) << what;  // else the chosen file's text
      } else {
        EXPECT_EQ(session.Close(text), c.goesBack ? NoteResult::kStayOpen : closed) << what;
      }
      ASSERT_EQ(script.messages.size(), c.answer ? 1u : 0u) << what;
      if (c.answer) {
        EXPECT_EQ(script.messages[0].text, kDriversLostQuestion);
      }
      EXPECT_EQ(fs::exists(saved), c.chosen.has_value()) << what;
      session.SetModified(false);
      EXPECT_EQ(session.Close(session.Text()), closed) << what;
    }
  }
}

}  // namespace
}  // namespace kvsorv
