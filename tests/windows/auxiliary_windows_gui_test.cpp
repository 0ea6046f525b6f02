// The progress, trouble and about windows, and the file dialogs' filters.

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "gui_fixture.h"
#include "windows/auxiliary/about_window.h"
#include "windows/auxiliary/progress_window.h"
#include "windows/auxiliary/trouble_window.h"
#include "windows/common/clickable_label.h"
#include "windows/common/widget_prompter.h"

namespace kvsorv {
namespace {

using testing::GuiTest;

class AuxiliaryWindowsTest : public GuiTest {};

TEST_F(AuxiliaryWindowsTest, AboutShowsTheModelAndItsVersion) {
  TFmAbout& about = windows->About();
  Find<QLabel>(about, "LblVersion")->setText("Version 0");
  std::string model, version, caption;
  OnNextModal([&](QWidget* modal) {
    caption = modal->windowTitle().toStdString();
    model = Find<QLabel>(about, "LblModel")->text().toStdString();
    version = Find<QLabel>(about, "LblVersion")->text().toStdString();
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  form->findChild<QAction*>("MIAbout")->trigger();
  EXPECT_EQ(caption, "About KVS ORV");
  EXPECT_EQ(model, "KVS ORV");
  EXPECT_EQ(version, "Version 3.3.6.5d");
  EXPECT_EQ(Find<QLabel>(about, "LblKVS")->text(), "Kestrin");
  EXPECT_TRUE(Find<QPlainTextEdit>(about, "MoContact")
                  ->toPlainText()
                  .startsWith("For more information contact:\n"));
  EXPECT_EQ(Find<QPushButton>(about, "BtnOK")->text(), "&OK");
  EXPECT_EQ(about.size(), QSize(315, 232));
}

TEST_F(AuxiliaryWindowsTest, ProgressShowsTheRunsEnds) {
  TFmProgress& progress = windows->Progress();
  progress.show();
  EXPECT_EQ(Find<QLabel>(progress, "LblBegin")->text(), "0");
  EXPECT_EQ(Find<QLabel>(progress, "LblEnd")->text(), "2");
  EXPECT_EQ(Find<QProgressBar>(progress, "runProgressBar")->minimum(), 0);
  EXPECT_EQ(Find<QProgressBar>(progress, "runProgressBar")->maximum(), 100);
  progress.SetPosition(40);
  EXPECT_EQ(Find<QProgressBar>(progress, "runProgressBar")->value(), 40);
  // The bar sits between the two labels.
  EXPECT_LE(Find<QLabel>(progress, "LblBegin")->geometry().right(),
            Find<QProgressBar>(progress, "runProgressBar")->geometry().left());
  EXPECT_GE(Find<QLabel>(progress, "LblEnd")->geometry().left(),
            Find<QProgressBar>(progress, "runProgressBar")->geometry().right());
  EXPECT_EQ(Find<QProgressBar>(progress, "runProgressBar")->size(), QSize(319, 13));
  progress.hide();
}

TEST_F(AuxiliaryWindowsTest, TroubleWindowLayoutAndIcon) {
  TFmTrouble& trouble = windows->Trouble();
  EXPECT_EQ(trouble.size(), QSize(551, 345));
  EXPECT_TRUE(Find<QLabel>(trouble, "LblKVS")->isHidden() &&
              Find<QLabel>(trouble, "LblModel")->isHidden() &&
              Find<QLabel>(trouble, "LblVersion")->isHidden());
  EXPECT_EQ(Find<QPlainTextEdit>(trouble, "MoContact")->toPlainText(),
            "Having trouble \nparameterizing?\nClick the icon on the left.");
  EXPECT_EQ(Find<QPlainTextEdit>(trouble, "MmError")->size(), QSize(233, 89));
  EXPECT_EQ(Find<ClickableLabel>(trouble, "Image1")->size(), QSize(241, 297));
  // Nothing overlaps: text, button and error box lie right of the picture, top to bottom.
  EXPECT_GT(Find<QPlainTextEdit>(trouble, "MoContact")->geometry().left(),
            Find<ClickableLabel>(trouble, "Image1")->geometry().right());
  EXPECT_GT(Find<QPushButton>(trouble, "BtnOK")->geometry().top(),
            Find<QPlainTextEdit>(trouble, "MoContact")->geometry().bottom());
  EXPECT_GT(Find<QPlainTextEdit>(trouble, "MmError")->geometry().top(),
            Find<QPushButton>(trouble, "BtnOK")->geometry().bottom());

  QTest::mouseClick(Find<ClickableLabel>(trouble, "Image1"), Qt::LeftButton);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::kConfirmation);
  EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::kOk);
  EXPECT_EQ(prompter.messages[0].text, "Take a break, go get a beer.");
}

TEST(NameFilters, DescriptionsWithTheirPatterns) {
  EXPECT_EQ(NameFilters("Parameter FIles (*.par)|*.par|All Files|*.*"),
            (QStringList{"Parameter FIles (*.par)", "All Files (*)"}));
  EXPECT_EQ(NameFilters("Output Files (*.out)|*.out|All Files (*.*)|*.*"),
            (QStringList{"Output Files (*.out)", "All Files (*)"}));
  EXPECT_EQ(NameFilters("Texts|*.txt;*.text"), (QStringList{"Texts (*.txt *.text)"}));
}

}  // namespace
}  // namespace kvsorv
