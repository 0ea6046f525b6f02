// The driver editor and the reload dialog as the main window opens them: the driver text
// edited and saved, the questions before edits are lost, and reloads from the parameter file.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "editors/driver_editor_session.h"
#include "files/driver_series.h"
#include "gui_fixture.h"
#include "model/globals.h"
#include "program/run_settings.h"
#include "windows/editors/driver_editor.h"
#include "windows/editors/reload_dialog.h"

namespace kvsorv {
namespace {

using testing::GuiTest;

constexpr double kEdited = -7.0;  // a value the example files do not hold

// No two of the controls overlap in their window.
void ExpectNoOverlap(const std::vector<QWidget*>& controls) {
  for (std::size_t i = 0; i < controls.size(); ++i) {
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      const QRect a(controls[i]->mapTo(controls[i]->window(), QPoint()), controls[i]->size());
      const QRect b(controls[j]->mapTo(controls[j]->window(), QPoint()), controls[j]->size());
      EXPECT_FALSE(a.intersects(b)) << controls[i]->objectName().toStdString() << " and "
                                    << controls[j]->objectName().toStdString();
    }
  }
}

class EditorsGuiTest : public GuiTest {
 protected:
  void Trigger(const char* item) { Find<QAction>(*form, item)->trigger(); }
  QPlainTextEdit* Text(QWidget* note) { return Find<QPlainTextEdit>(*note, "MoDrivers"); }
  void Click(QWidget* window, const char* button) {
    QTest::mouseClick(Find<QPushButton>(*window, button), Qt::LeftButton);
  }
  // Types a line at the end of the driver text.
  void TypeLine(QWidget* note, const char* line) {
    Text(note)->moveCursor(QTextCursor::End);
    QTest::keyClick(Text(note), Qt::Key_Return);
    QTest::keyClicks(Text(note), line);
  }
};

TEST_F(EditorsGuiTest, DriverEditorShowsTheFileAndSavesTheEditedText) {
  ChooseExampleSite();
  RunSettings.OutputAvailable = true;
  std::string caption, firstLine;
  OnNextModal([&](QWidget* note) {
    ASSERT_NE(qobject_cast<TFmNote*>(note), nullptr);
    caption = note->windowTitle().toStdString();
    firstLine = Text(note)->toPlainText().section('\n', 0, 0).toStdString();
    EXPECT_EQ(Text(note)->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(QFontInfo(Text(note)->font()).fixedPitch());
    // The three buttons in order along the bottom, below the text.
    std::vector<QWidget*> controls{Text(note)};
    int left = -1;
    for (const auto& [name, text] : {std::pair{"BtnChooseFile", "C&hoose Driver File"},
                                     {"BtnSaveFile", "&Save File"},
                                     {"BtnClose", "&Close"}}) {
      auto* button = Find<QPushButton>(*note, name);
      EXPECT_EQ(button->text(), text);
      const QPoint at = button->mapTo(note, QPoint());
      EXPECT_GT(at.x(), left) << name;
      EXPECT_GT(at.y(), Text(note)->geometry().bottom()) << name;
      left = at.x();
      controls.push_back(button);
    }
    ExpectNoOverlap(controls);

    TypeLine(note, "-2100 400 22 10 18 1.1 0.8 180 150 1");
    prompter.QueueFile(dir.File("edited.drr"));
    Click(note, "BtnSaveFile");
    EXPECT_FALSE(note->isVisible());
  });
  Trigger("MIEditDrv");

  EXPECT_EQ(caption, "Driver Variables - " + dir.File("cell1.drr"));
  EXPECT_EQ(firstLine.substr(0, 24), "Time                 CO2");
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(Find<QLineEdit>(*form, "DriverBox")->text().toStdString(), dir.File("edited.drr"));
  EXPECT_FALSE(RunSettings.OutputAvailable);
  const DriverSeries saved = ReadDriverSeries(dir.File("edited.drr"), ModelDef.numdrivers);
  const DriverSeries original = ReadDriverSeries(dir.File("cell1.drr"), ModelDef.numdrivers);
  ASSERT_EQ(saved.Size(), original.Size() + 1);
  EXPECT_EQ(saved.times.back(), -2100.0);
  EXPECT_EQ(saved.values[original.values.size()], 400.0);
  EXPECT_TRUE(std::equal(original.values.begin(), original.values.end(), saved.values.begin()));
}

TEST_F(EditorsGuiTest, DriverEditorAsksBeforeEditsAreLostAndKeepsThemWhenNothingIsSaved) {
  ChooseExampleSite();
  RunSettings.OutputAvailable = true;
  const std::string base = dir.Read("cell1b.drr");
  const std::string record = "2100 400 22 10 18 1.1 0.8 180 150 1";
  std::vector<std::string> captions;
  bool keptAfterSaveCancelled = false, keptAfterEsc = false, openAfterEsc = false;
  OnNextModal([&](QWidget* note) {
    // Choose Driver File with edits: the question, then (No) the chosen file's text.
    TypeLine(note, record.c_str());
    prompter.QueueAnswer(Answer::kNo);
    prompter.QueueFile(dir.File("cell1b.drr"));
    Click(note, "BtnChooseFile");
    captions.push_back(note->windowTitle().toStdString());
    captions.push_back(Find<QLineEdit>(*form, "DriverBox")->text().toStdString());

    // Save File with the dialog cancelled, then Esc with Yes and the dialog cancelled:
    // the editor stays open with the edits.
    TypeLine(note, record.c_str());
    prompter.QueueFile(std::nullopt);
    Click(note, "BtnSaveFile");
    keptAfterSaveCancelled = Text(note)->toPlainText().endsWith(record.c_str());
    prompter.QueueAnswer(Answer::kYes);
    prompter.QueueFile(std::nullopt);
    QTest::keyClick(note, Qt::Key_Escape);
    openAfterEsc = note->isVisible();
    keptAfterEsc = Text(note)->toPlainText().endsWith(record.c_str());

    // The window frame asks too; No closes without saving.
    prompter.QueueAnswer(Answer::kNo);
    note->close();
  });
  Trigger("MIEditDrv2");

  EXPECT_EQ(captions, (std::vector<std::string>{"Driver Variables - " + dir.File("cell1b.drr"),
                                                dir.File("cell1b.drr")}));
  EXPECT_TRUE(keptAfterSaveCancelled);
  EXPECT_TRUE(openAfterEsc && keptAfterEsc);
  ASSERT_EQ(prompter.messages.size(), 3u);
  for (const auto& shown : prompter.messages) EXPECT_EQ(shown.text, kDriversLostQuestion);
  EXPECT_FALSE(Find<QWidget>(*form, "TFmNote")->isVisible());
  EXPECT_EQ(dir.Read("cell1b.drr"), base);
}

TEST_F(EditorsGuiTest, ReloadWithEachCombinationOfBoxes) {
  ChooseExampleSite();
  const double fileParam = Params[1].value;
  const double fileState = States[1].value;
  struct Case {
    bool params;
    bool states;
  };
  const Case cases[] = {{.params = true, .states = true},
                        {.params = true, .states = false},
                        {.params = false, .states = true},
                        {.params = false, .states = false}};
  Case shown{.params = true, .states = true};  // checked at start, then as last left
  for (const Case& c : cases) {
    Params[1].value = kEdited;
    States[1].value = kEdited;
    RunSettings.OutputAvailable = true;
    OnNextModal([&](QWidget* dialog) {
      auto* params = Find<QCheckBox>(*dialog, "CbParams");
      auto* states = Find<QCheckBox>(*dialog, "CbState");
      EXPECT_EQ(params->isChecked(), shown.params);
      EXPECT_EQ(states->isChecked(), shown.states);
      EXPECT_EQ(dialog->windowTitle(), "Dialog");
      EXPECT_EQ(Find<QPlainTextEdit>(*dialog, "MoDirections")->toPlainText(), kReloadDirections);
      ExpectNoOverlap({Find<QWidget>(*dialog, "MoDirections"), params, states,
                       Find<QWidget>(*dialog, "OKBtn"), Find<QWidget>(*dialog, "CancelBtn")});
      // A click on the box itself, at the left end of the control.
      const auto toggle = [](QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
      };
      if (params->isChecked() != c.params) toggle(params);
      if (states->isChecked() != c.states) toggle(states);
      Click(dialog, "OKBtn");
    });
    QTest::mouseClick(Find<QPushButton>(*form, "BtnReload"), Qt::LeftButton);
    EXPECT_EQ(Params[1].value, c.params ? fileParam : kEdited);
    EXPECT_EQ(States[1].value, c.states ? fileState : kEdited);
    EXPECT_FALSE(RunSettings.OutputAvailable);
    shown = c;
  }
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(EditorsGuiTest, ReloadFromAFileOfAnotherModelChangesNothing) {
  ChooseExampleSite();
  dir.Write("cell1.par", "SOME OTHER MODEL     9\r\n");
  Params[1].value = kEdited;
  RunSettings.OutputAvailable = true;
  OnNextModal([&](QWidget* dialog) { Click(dialog, "OKBtn"); });
  QTest::mouseClick(Find<QPushButton>(*form, "BtnReload"), Qt::LeftButton);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text,
            "The parameter file selected is not compatible with this model. No parameters read.");
  EXPECT_EQ(Params[1].value, kEdited);
  EXPECT_TRUE(RunSettings.OutputAvailable);
  EXPECT_FALSE(windows->ReloadDialog().isVisible());
}

}  // namespace
}  // namespace kvsorv
