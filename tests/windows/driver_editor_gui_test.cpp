// The driver editor and the reload dialog as the main window opens them: the driver text
// edited and saved, the questions before edits are lost, and reloads from the parameter file.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "editors/driver_editor_session.h"
#include "files/driver_series.h"
#include "gui_fixture.h"
#include "program/global_tables.h"
#include "program/run_settings.h"

namespace kvsorv {
namespace {

constexpr double kEdited = -7.0;  // a value the example files do not hold
constexpr const char* kRecord = "-2100 400 22 10 18 1.1 0.8 180 150 1";

class DriverEditorGuiTest : public testing::GuiTest {
 protected:
  void Click(QWidget* window, const char* button) {
    QTest::mouseClick(Find<QPushButton>(*window, button), Qt::LeftButton);
  }
  // Types a line at the end of the driver text.
  void TypeLine(QWidget* note) {
    auto* text = Find<QPlainTextEdit>(*note, "MoDrivers");
    text->moveCursor(QTextCursor::End);
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClicks(text, kRecord);
  }
  bool ShowsTypedLine(QWidget* note) {
    return Find<QPlainTextEdit>(*note, "MoDrivers")->toPlainText().endsWith(kRecord);
  }
};

TEST_F(DriverEditorGuiTest, DriverEditorShowsTheFileAndSavesTheEditedText) {
  ChooseExampleSite();
  RunSettings.OutputAvailable = true;
  std::string caption;
  OnNextModal([&](QWidget* note) {
    caption = note->windowTitle().toStdString();
    ExpectNoOverlap(note, {"MoDrivers", "BtnChooseFile", "BtnSaveFile", "BtnClose"});
    TypeLine(note);
    prompter.QueueFile(dir.File("edited.drr"));
    Click(note, "BtnSaveFile");
  });
  Find<QAction>(*form, "MIEditDrv")->trigger();

  EXPECT_EQ(caption, "Driver Variables - " + dir.File("cell1.drr"));
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(Find<QLineEdit>(*form, "DriverBox")->text().toStdString(), dir.File("edited.drr"));
  EXPECT_FALSE(RunSettings.OutputAvailable);
  const DriverSeries original = ReadDriverSeries(dir.File("cell1.drr"), ModelDef.numdrivers);
  const DriverSeries saved = ReadDriverSeries(dir.File("edited.drr"), ModelDef.numdrivers);
  ASSERT_EQ(saved.Size(), original.Size() + 1);
  EXPECT_EQ(saved.times.back(), -2100.0);
  EXPECT_EQ(saved.values[original.values.size()], 400.0);
  EXPECT_TRUE(std::equal(original.values.begin(), original.values.end(), saved.values.begin()));
}

TEST_F(DriverEditorGuiTest, DriverEditorAsksBeforeEditsAreLostAndKeepsThemWhenNothingIsSaved) {
  ChooseExampleSite();
  const std::string base = dir.Read("cell1b.drr");
  std::string caption;
  bool keptAfterSaveCancelled = false, keptAfterEsc = false;
  OnNextModal([&](QWidget* note) {
    // Choose Driver File with edits: the question, then (No) the chosen file's text.
    TypeLine(note);
    prompter.QueueAnswer(Answer::kNo);
    prompter.QueueFile(dir.File("cell1b.drr"));
    Click(note, "BtnChooseFile");
    caption = note->windowTitle().toStdString();

    // The save dialog cancelled, and Esc with Yes and the dialog cancelled: back to the edits.
    TypeLine(note);
    prompter.QueueFile(std::nullopt);
    Click(note, "BtnSaveFile");
    keptAfterSaveCancelled = note->isVisible() && ShowsTypedLine(note);
    prompter.QueueAnswer(Answer::kYes);
    prompter.QueueFile(std::nullopt);
    QTest::keyClick(note, Qt::Key_Escape);
    keptAfterEsc = note->isVisible() && ShowsTypedLine(note);

    // The window frame asks too; No closes without saving.
    prompter.QueueAnswer(Answer::kNo);
    note->close();
  });
  Find<QAction>(*form, "MIEditDrv2")->trigger();

  EXPECT_EQ(caption, "Driver Variables - " + dir.File("cell1b.drr"));
  EXPECT_EQ(Find<QLineEdit>(*form, "DriverBox")->text().toStdString(), dir.File("cell1b.drr"));
  EXPECT_TRUE(keptAfterSaveCancelled);
  EXPECT_TRUE(keptAfterEsc);
  ASSERT_EQ(prompter.messages.size(), 3u);
  for (const auto& shown : prompter.messages) EXPECT_EQ(shown.text, kDriversLostQuestion);
  EXPECT_FALSE(Find<QWidget>(*form, "TFmNote")->isVisible());
  EXPECT_EQ(dir.Read("cell1b.drr"), base);
}

TEST_F(DriverEditorGuiTest, ReloadWithEachCombinationOfBoxesThenFromAnotherModel) {
  ChooseExampleSite();
  const double fileParam = Params[1].value;
  const double fileState = States[1].value;
  struct Boxes {
    bool params;
    bool states;
  };
  const Boxes cases[] = {{.params = true, .states = true},
                         {.params = true, .states = false},
                         {.params = false, .states = true},
                         {.params = false, .states = false}};
  Boxes shown{.params = true, .states = true};  // checked at start, then as last left
  for (const Boxes& c : cases) {
    Params[1].value = kEdited;
    States[1].value = kEdited;
    RunSettings.OutputAvailable = true;
    OnNextModal([&](QWidget* dialog) {
      ExpectNoOverlap(dialog, {"MoDirections", "CbParams", "CbState", "OKBtn", "CancelBtn"});
      for (auto [box, checked, wanted] : {std::tuple{"CbParams", shown.params, c.params},
                                          std::tuple{"CbState", shown.states, c.states}}) {
        auto* control = Find<QCheckBox>(*dialog, box);
        EXPECT_EQ(control->isChecked(), checked) << box;
        if (checked != wanted)  // a click on the box at the control's left end
          QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(8, control->height() / 2));
      }
      Click(dialog, "OKBtn");
    });
    QTest::mouseClick(Find<QPushButton>(*form, "BtnReload"), Qt::LeftButton);
    EXPECT_EQ(Params[1].value, c.params ? fileParam : kEdited);
    EXPECT_EQ(States[1].value, c.states ? fileState : kEdited);
    EXPECT_FALSE(RunSettings.OutputAvailable);
    shown = c;
  }
  EXPECT_TRUE(prompter.messages.empty());

  dir.Write("cell1.par", "SOME OTHER MODEL     9\r\n");
  RunSettings.OutputAvailable = true;
  OnNextModal([&](QWidget* dialog) { Click(dialog, "OKBtn"); });
  QTest::mouseClick(Find<QPushButton>(*form, "BtnReload"), Qt::LeftButton);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text,
            "The parameter file selected is not compatible with this model. No parameters read.");
  EXPECT_EQ(Params[1].value, kEdited);
  EXPECT_TRUE(RunSettings.OutputAvailable);  // closed with Cancel
}

}  // namespace
}  // namespace kvsorv
