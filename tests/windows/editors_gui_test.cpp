// The parameter editor and the state and process grid as a user meets them: every page in
// view, moving between pages, which cells take the cursor, the process list opened beside the
// editor and following its updates, values that are not numbers, and the state editor's
// check boxes, OK and Cancel.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <string>

#include "files/number_text.h"
#include "gui_fixture.h"
#include "model/model_indices.h"
#include "program/global_tables.h"
#include "program/run_settings.h"
#include "windows/common/page_control.h"
#include "windows/common/qt_text.h"
#include "windows/common/string_grid.h"
#include "windows/common/window_placement.h"
#include "windows/editors/data_form.h"
#include "windows/editors/parameter_window.h"

namespace kvsorv {
namespace {

using testing::GuiTest;

class EditorsGuiTest : public GuiTest {
 protected:
  void Trigger(const char* item) { form->findChild<QAction*>(item)->trigger(); }

  static StringGrid* PageGrid(const TMyPageControl* pages, int page) {
    return Find<StringGrid>(*pages->Page(page), "ParamGrid");
  }

  // Types into a cell through its editor and stores the text with Enter, as a user does.
  static void TypeIntoCell(StringGrid* grid, int column, int row, const QString& text) {
    grid->SetCurrentCell(column, row);
    const QModelIndex index = grid->model()->index(row - grid->FixedRows(), column);
    grid->edit(index);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(index));
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
  }

  static void ClickCell(StringGrid* grid, int column, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(column, row).center());
  }

  static void Click(const QWidget& window, const char* button) {
    QTest::mouseClick(Find<QPushButton>(window, button), Qt::LeftButton);
  }

  // Left to right without overlapping.
  static void ExpectSideBySide(const std::vector<QWidget*>& widgets) {
    for (std::size_t i = 1; i < widgets.size(); ++i)
      EXPECT_LT(widgets[i - 1]->geometry().right(), widgets[i]->geometry().left())
          << widgets[i]->objectName().toStdString();
  }
};

TEST_F(EditorsGuiTest, ParameterEditorAtDefaultSize_EveryPageInViewNothingOverlapping) {
  ChooseExampleSite();
  OnNextModal([&](QWidget* modal) {
    auto* pages = Find<TMyPageControl>(*modal, "TMyPageControl");
    ASSERT_EQ(pages->Count(), 40);
    EXPECT_EQ(pages->Caption(0), "Photosynthesis");
    const QRect window = modal->rect();
    for (int i = 0; i < pages->Count(); ++i) {
      const QRect tab = pages->TabRect(i);
      EXPECT_TRUE(window.contains(QRect(pages->mapTo(modal, tab.topLeft()), tab.size()))) << i;
      EXPECT_GE(tab.width(), pages->fontMetrics().horizontalAdvance(pages->Caption(i))) << i;
      for (int j = 0; j < i; ++j) EXPECT_FALSE(tab.intersects(pages->TabRect(j))) << i << j;
    }
    // The largest page shows all its rows and columns without scrolling.
    StringGrid* grid = PageGrid(pages, 0);
    EXPECT_EQ(grid->RowCount(), 11);
    EXPECT_LE(grid->CellRect(kParamUnitsColumn, 10).bottom(), grid->viewport()->height());
    EXPECT_EQ(grid->horizontalScrollBar()->maximum(), 0);
    // Pages above the buttons, the buttons side by side.
    auto* panel = Find(*modal, "PlBottom");
    EXPECT_LE(pages->geometry().bottom(), panel->geometry().top());
    EXPECT_TRUE(window.contains(panel->geometry()));
    ExpectSideBySide({Find(*modal, "BtnUpdateProc"), Find(*modal, "BtnShowAllProcess"),
                      Find(*modal, "BtnOK"), Find(*modal, "BtnClose")});
    EXPECT_EQ(Find<QPushButton>(*modal, "BtnClose")->text(), "&Cancel");
    EXPECT_EQ(modal->windowTitle().toStdString(),
              "Parameters - File: " + RunSettings.ParamFileName);
  });
  Trigger("MIEditParam");
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(EditorsGuiTest, CtrlTabAndCtrlShiftTab_MoveBetweenPagesWrappingAround) {
  ChooseExampleSite();
  std::vector<int> visited;
  OnNextModal([&](QWidget* modal) {
    auto* pages = Find<TMyPageControl>(*modal, "TMyPageControl");
    // The editor's shortcuts act in the active window; on a busy machine the offscreen
    // platform may not have made the modal editor active yet.
    QApplication::setActiveWindow(modal);
    ASSERT_TRUE(QTest::qWaitForWindowActive(modal));
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers m) {
      QWidget* focus = QApplication::focusWidget();
      QTest::keyClick(focus != nullptr && modal->isAncestorOf(focus) ? focus : modal, k, m);
      visited.push_back(pages->CurrentIndex());
    };
    key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    key(Qt::Key_Tab, Qt::ControlModifier);
    key(Qt::Key_Tab, Qt::ControlModifier);
    QWidget* tabs = pages->TabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->mapFrom(pages, pages->TabRect(38).center()));
    visited.push_back(pages->CurrentIndex());
    EXPECT_TRUE(pages->Page(38)->isVisible());
    key(Qt::Key_Tab, Qt::ControlModifier);
    key(Qt::Key_Tab, Qt::ControlModifier);
  });
  Trigger("MIEditParam");
  EXPECT_EQ(visited, (std::vector<int>{39, 0, 1, 38, 39, 0}));
}

TEST_F(EditorsGuiTest, ParameterGridClicksAndArrows_MoveTheCursorOnlyInTheValueColumn) {
  ChooseExampleSite();
  OnNextModal([&](QWidget* modal) {
    StringGrid* grid = PageGrid(Find<TMyPageControl>(*modal, "TMyPageControl"), 0);
    EXPECT_EQ(grid->CurrentColumn(), kParamValueColumn);
    EXPECT_EQ(grid->CurrentRow(), 1);
    for (int column : {kParamSymbolColumn, kParamNameColumn, kParamUnitsColumn}) {
      ClickCell(grid, column, 3);
      EXPECT_EQ(grid->CurrentColumn(), kParamValueColumn) << column;
      EXPECT_EQ(grid->CurrentRow(), 1) << column;
    }
    ClickCell(grid, kParamValueColumn, 3);
    EXPECT_EQ(grid->CurrentRow(), 3);
    grid->CommitEdit();
    QTest::keyClick(grid, Qt::Key_Left);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->CurrentColumn(), kParamValueColumn);
    EXPECT_EQ(grid->CurrentRow(), 4);
  });
  Trigger("MIEditParam");
}

TEST_F(EditorsGuiTest, ShowAllProcesses_ListBesideTheEditorFollowsEachUpdate) {
  ChooseExampleSite();
  TDataForm& list = windows->Data();
  std::string listedBefore, listedAfter, labelBefore, labelAfter, closeCaption;
  bool listTookItsCloseClick = false;
  OnNextModal([&](QWidget* modal) {
    auto* pages = Find<TMyPageControl>(*modal, "TMyPageControl");
    StringGrid* params = PageGrid(pages, 0);
    auto* label = Find<QLabel>(*pages->Page(0), "LblProcValue");
    StringGrid* listed = Find<StringGrid>(list, "DataGrid");

    Click(*modal, "BtnShowAllProcess");
    ASSERT_TRUE(list.isVisible());
    EXPECT_EQ(list.windowTitle(), "Process Variables");
    EXPECT_TRUE(listed->isColumnHidden(kHoldColumn));
    listedBefore = S(listed->Cell(kValueColumn, proc::Ps));
    labelBefore = S(label->text());

    TypeIntoCell(params, kParamValueColumn, 10, "4");  // Sc
    Click(*modal, "BtnUpdateProc");
    listedAfter = S(listed->Cell(kValueColumn, proc::Ps));
    labelAfter = S(label->text());
    closeCaption = S(Find<QPushButton>(*modal, "BtnClose")->text());
    for (const char* button : {"BtnOK", "BtnClose"}) {
      auto* b = Find<QPushButton>(*modal, button);
      const QRect onScreen(b->mapToGlobal(QPoint(0, 0)), b->size());
      EXPECT_FALSE(list.frameGeometry().intersects(onScreen)) << button << " hidden by the list";
    }

    // The list takes input while the modal editor is open: a click through the window
    // system, which drops input to windows that a modal window blocks.
    auto* close = Find<QPushButton>(list, "BtnCancel");
    QTest::mouseClick(list.windowHandle(), Qt::LeftButton, {},
                      close->mapTo(&list, close->rect().center()));
    listTookItsCloseClick = !list.isVisible();
    Click(*modal, "BtnShowAllProcess");
    ASSERT_TRUE(list.isVisible());
    Click(*modal, "BtnOK");
  });
  RunSettings.OutputAvailable = true;
  Trigger("MIEditParam");

  EXPECT_EQ(Params[prm::Sc].value, 4);
  EXPECT_NE(listedAfter, listedBefore);
  EXPECT_EQ(listedAfter, FormatGeneral(Processes[proc::Ps].value, 15));
  EXPECT_NE(labelAfter, labelBefore);
  EXPECT_EQ(labelAfter, FormatGeneral(Processes[proc::Ps].value, 5));
  EXPECT_EQ(closeCaption, "&Close");
  EXPECT_EQ(prompter.messages.size(), 1u);  // the one confirmation of this opening
  EXPECT_TRUE(listTookItsCloseClick);
  EXPECT_FALSE(list.isVisible());             // OK hid it
  EXPECT_FALSE(RunSettings.OutputAvailable);  // the editor closed with OK
}

TEST(WindowPlacement, BesideTheOpenerInsideTheScreen) {
  struct Case {
    const char* what;
    QRect opener;
    QSize size;
    QRect expected;
  };
  const QRect screen(0, 0, 1600, 1000);
  const Case cases[] = {
      {.what = "room on the right",
       .opener = {100, 100, 800, 600},
       .size = {400, 500},
       .expected = {900, 100, 400, 500}},
      {.what = "room on the left only",
       .opener = {700, 100, 800, 600},
       .size = {400, 500},
       .expected = {300, 100, 400, 500}},
      {.what = "no room: narrowed to the wider side",
       .opener = {250, 100, 1000, 600},
       .size = {400, 500},
       .expected = {1250, 100, 350, 500}},
      {.what = "no room even narrowed: above the opener's buttons",
       .opener = {100, 100, 1400, 800},
       .size = {400, 850},
       .expected = {1300, 0, 300, 830}},
      {.what = "taller than the screen: inside it",
       .opener = {0, 300, 600, 400},
       .size = {400, 1400},
       .expected = {600, 0, 400, 1000}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RectBeside(c.opener, c.size, screen, 300, 70), c.expected) << c.what;
  EXPECT_EQ(RectCentredOver({1200, 0, 400, 300}, {600, 400}, screen), QRect(1000, 0, 600, 400))
      << "centred over a window at the screen's edge, moved inside";
}

TEST_F(EditorsGuiTest, ParameterValueThatIsNoNumber_KeepsTheEditorOpenOnThatCell) {
  ChooseExampleSite();
  const paramarray before = Params;
  bool stillOpen = false;
  int page = -1, row = -1;
  std::string text;
  OnNextModal([&](QWidget* modal) {
    auto* pages = Find<TMyPageControl>(*modal, "TMyPageControl");
    TypeIntoCell(PageGrid(pages, 0), kParamValueColumn, 1, "41");   // stored only with the rest
    TypeIntoCell(PageGrid(pages, 2), kParamValueColumn, 3, "abc");  // knh4
    pages->SetCurrentIndex(0);
    Click(*modal, "BtnOK");
    stillOpen = modal->isVisible();
    page = pages->CurrentIndex();
    row = PageGrid(pages, page)->CurrentRow();
    text = S(PageGrid(pages, 2)->Cell(kParamValueColumn, 3));
  });
  RunSettings.OutputAvailable = true;
  Trigger("MIEditParam");
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(page, 2);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(text, "abc");
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text,
            "No values stored: the value of knh4 is not a number.\n"
            "'abc' is not a valid floating point value");
  EXPECT_EQ(Params, before);
  EXPECT_FALSE(RunSettings.ParamsModified);
  EXPECT_TRUE(RunSettings.OutputAvailable);  // closed by its frame: Cancel
}

TEST_F(EditorsGuiTest, HoldConstantCheckBox_ReachesStatesAndTheRun) {
  ChooseExampleSite();
  OnNextModal([&](QWidget* modal) {
    auto* grid = Find<StringGrid>(*modal, "DataGrid");
    EXPECT_EQ(modal->windowTitle(), "State Variables");
    EXPECT_EQ(grid->RowCount(), 20);
    EXPECT_FALSE(grid->isColumnHidden(kHoldColumn));
    EXPECT_LE(Find(*modal, "PnlTop")->geometry().bottom(), grid->geometry().top());
    ExpectSideBySide({Find(*modal, "BtnOK"), Find(*modal, "BtnCancel")});
    ClickCell(grid, kHoldColumn, st::Cf);
    EXPECT_TRUE(grid->Checked(kHoldColumn, st::Cf));
    EXPECT_TRUE(States[st::Cf].HoldConstant);  // at once
    // The click did not move the cursor off the value column.
    EXPECT_EQ(grid->CurrentColumn(), kValueColumn);
    EXPECT_EQ(grid->CurrentRow(), 1);
    Click(*modal, "BtnOK");
  });
  Trigger("MIEditStates");
  ASSERT_TRUE(States[st::Cf].HoldConstant);
  EXPECT_TRUE(RunSettings.ParamsModified);

  const double cf = States[st::Cf].value;
  const double cw = States[st::Cw].value;
  QTest::mouseClick(Find<QPushButton>(*form, "BtnRun"), Qt::LeftButton);
  ASSERT_TRUE(RunSettings.OutputAvailable);
  EXPECT_EQ(States[st::Cf].value, cf);
  EXPECT_NE(States[st::Cw].value, cw);
}

TEST_F(EditorsGuiTest, StateEditorCancelledAnyWay_RestoresStatesExactly) {
  const std::vector<std::pair<const char*, std::function<void(QWidget*)>>> ways = {
      {"Cancel button", [](QWidget* modal) { Click(*modal, "BtnCancel"); }},
      {"Esc in the grid",
       [](QWidget* modal) { QTest::keyClick(Find(*modal, "DataGrid"), Qt::Key_Escape); }},
      {"window frame", [](QWidget* modal) { modal->close(); }},
  };
  LoadExample();
  const statearray before = States;
  for (const auto& [way, cancel] : ways) {
    bool closed = false;
    OnNextModal([&, cancel = cancel](QWidget* modal) {
      auto* grid = Find<StringGrid>(*modal, "DataGrid");
      TypeIntoCell(grid, kValueColumn, st::Cw, "1");
      ClickCell(grid, kHoldColumn, st::Cr);
      cancel(modal);
      closed = !modal->isVisible();
    });
    Trigger("MIEditStates");
    EXPECT_TRUE(closed) << way;
    EXPECT_EQ(States, before) << way;
    EXPECT_FALSE(RunSettings.ParamsModified) << way;
  }
}

TEST_F(EditorsGuiTest, ProcessListThenStateEditor_HoldColumnHiddenThenShownAgain) {
  TDataForm& data = windows->Data();
  auto* grid = Find<StringGrid>(data, "DataGrid");
  windows->ShowProcessList();
  ASSERT_TRUE(windows->ProcessListShown());
  EXPECT_TRUE(grid->isColumnHidden(kHoldColumn));
  EXPECT_EQ(grid->RowCount(), 127);
  EXPECT_EQ(grid->Cell(kUnitsColumn, 0), "Process Units");
  EXPECT_FALSE(Find<QPushButton>(data, "BtnOK")->isVisible());
  ClickCell(grid, kValueColumn, 1);  // read-only: no cell takes the cursor
  EXPECT_EQ(grid->CurrentRow(), -1);
  windows->HideProcessList();
  EXPECT_FALSE(data.isVisible());

  OnNextModal([&](QWidget*) {
    EXPECT_FALSE(grid->isColumnHidden(kHoldColumn));
    EXPECT_EQ(grid->RowCount(), 20);
    EXPECT_EQ(grid->Cell(kHoldColumn, 0), "HoldConstant");
    EXPECT_FALSE(windows->ProcessListShown());
  });
  Trigger("MIEditStates");
}

}  // namespace
}  // namespace kvsorv
