// The output display as the main window opens it: the table and its records, the chart of
// the file's values as values, relative and cumulative change, the series limit and invalid
// series, rereading after each way of closing, the series and axis dialogs, and the exports.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QLogValueAxis>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QValueAxis>
#include <algorithm>
#include <string>
#include <vector>

#include "display/chart_data.h"
#include "display/series_list.h"
#include "gui_fixture.h"
#include "program/run_settings.h"
#include "support/output_file_writer.h"
#include "windows/charts/output_chart.h"
#include "windows/display/display_window.h"

namespace kvsorv {
namespace {

constexpr double kTolerance = 1e-9;
// Columns of the output file (time 0, nine drivers, then the states).
constexpr int kFoliageCarbon = 10;
constexpr int kWoodCarbon = 11;
constexpr int kRootCarbon = 12;
constexpr int kLabileWoodN = 20;

class DisplayGuiTest : public testing::GuiTest {
 protected:
  // Records at 1600, 1601, ...: wood carbon 10000 creeping up by 0.4 a year, foliage carbon
  // 200 + r, root carbon 400 - r, labile wood N starting at 0, everything else 1 + c.
  void WriteRun(int records) {
    std::vector<double> times;
    for (int r = 0; r < records; ++r) times.push_back(1600 + r);
    testing::WriteOutputFile(file, times, [](int r, int c) {
      switch (c) {
        case kWoodCarbon:
          return 10000.0 + 0.4 * r;
        case kFoliageCarbon:
          return 200.0 + r;
        case kRootCarbon:
          return 400.0 - r;
        case kLabileWoodN:
          return 1.0 * r;
        default:
          return 1.0 + c;
      }
    });
  }

  // Opens the file through From File, then the display as a table or a chart; `inspect`
  // runs while it is shown.
  void OpenDisplay(bool tableMode, std::function<void(QWidget*)> inspect) {
    prompter.QueueFile(file);
    Find<QAction>(*form, "MIViewOutFile")->trigger();
    OnNextModal(std::move(inspect));
    Find<QAction>(*form, tableMode ? "MITable" : "MIChart")->trigger();
  }

  static void Click(QWidget* window, const char* button) {
    QTest::mouseClick(Find<QAbstractButton>(*window, button), Qt::LeftButton);
  }
  // A click on the item with this text: toggles it in a list of multiple selection.
  static void ClickItem(QListWidget* list, const std::string& text) {
    const auto found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text;
    list->scrollToItem(found[0]);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found[0]).center());
  }
  static void Trigger(QWidget* window, const char* item) {
    Find<QAction>(*window, item)->trigger();
  }

  static std::vector<double> Ys(QLineSeries* s) {
    std::vector<double> ys;
    for (const QPointF& p : s->points()) ys.push_back(p.y());
    return ys;
  }
  // The active series, as the legend lists them.
  static std::vector<std::string> Legend(OutputChart* chart) {
    std::vector<std::string> shown;
    for (QLegendMarker* m : chart->chart()->legend()->markers())
      if (m->isVisible() && m->series()->isVisible()) shown.push_back(m->label().toStdString());
    return shown;
  }
  static std::vector<std::string> Messages(const testing::ScriptedPrompter& p) {
    std::vector<std::string> texts;
    for (const auto& m : p.messages) texts.push_back(m.text);
    return texts;
  }
  static int TableRows(QWidget* display) {
    return Find<QTableView>(*display, "SgModelOutput")->model()->rowCount();
  }

  std::string file = dir.File("run.out");
};

TEST_F(DisplayGuiTest, TableShowsEveryColumnAndOnlyRecordsFromStartTime) {
  WriteRun(4);
  RunSettings.StartTime = 1602;
  OpenDisplay(true, [&](QWidget* display) {
    EXPECT_EQ(display->windowTitle().toStdString(), "Model Output - File: " + file);
    const QAbstractItemModel* model = Find<QTableView>(*display, "SgModelOutput")->model();
    ASSERT_EQ(model->columnCount(), 155);
    ASSERT_EQ(model->rowCount(), 3 + 2);
    const auto cell = [&](int r, int c) { return model->index(r, c).data().toString(); };
    EXPECT_EQ(cell(0, 154), "154");
    EXPECT_EQ(cell(1, kWoodCarbon), "Wood Carbon");
    EXPECT_EQ(cell(2, 0), "year");
    EXPECT_EQ(cell(3, 0), "1602");
    EXPECT_EQ(cell(4, kWoodCarbon), "1E+04");  // 10001.2 in "%.4g"
    EXPECT_TRUE(Find(*display, "SgModelOutput")->isVisible());
    EXPECT_FALSE(Find(*display, "ChOutput")->isVisible());
    EXPECT_FALSE(Find<QMenu>(*display, "MIChart")->menuAction()->isVisible());
    std::vector<std::string> inStrip;
    for (QWidget* w : Find(*display, "PnBottom")->findChildren<QWidget*>())
      if (w->isVisible() && !w->objectName().startsWith("Pn") &&
          w->parent()->objectName().startsWith("Pn"))
        inStrip.push_back(w->objectName().toStdString());
    EXPECT_EQ(inStrip, std::vector<std::string>{"BtnCloseDisplay"});

    auto* list = Find<QListWidget>(*display, "LbxSeries");
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i) items.push_back(list->item(i)->text().toStdString());
    EXPECT_EQ(items.size(), 155u);
    EXPECT_EQ(items, FillSeriesList(OutputTable::ForCatalogue()).names);  // alphabetical
    EXPECT_NE(std::find(items.begin(), items.end(), "Time"), items.end());
  });
  EXPECT_TRUE(prompter.messages.empty()) << Messages(prompter).front();

  // Every record before the start time: the header rows only, and a chart of nothing.
  RunSettings.StartTime = 5000;
  OpenDisplay(false, [&](QWidget* display) {
    EXPECT_EQ(TableRows(display), 3);
    ClickItem(Find<QListWidget>(*display, "LbxSeries"), "Wood Carbon");
    Click(display, "BtnUpdateChart");
    auto* chart = Find<OutputChart>(*display, "ChOutput");
    EXPECT_TRUE(chart->Series(0)->points().isEmpty());
    EXPECT_EQ(Legend(chart), std::vector<std::string>{"Wood Carbon"});
  });
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DisplayGuiTest, ChartPlotsTheFilesValuesAsValuesRelativeAndCumulativeChange) {
  WriteRun(3);
  struct Case {
    const char* valueType;
    std::vector<double> wood;
    double firstOfEach;
  };
  const Case cases[] = {
      {.valueType = "RgValueTypeActual", .wood = {10000, 10000.4, 10000.8}, .firstOfEach = -1},
      {.valueType = "RgValueTypeRelative", .wood = {1, 1.00004, 1.00008}, .firstOfEach = 1},
      {.valueType = "RgValueTypeCumulative", .wood = {0, 0.4, 0.8}, .firstOfEach = 0},
  };
  OpenDisplay(false, [&](QWidget* display) {
    ExpectNoOverlap(display, {"LbDirections", "LbxSeries", "RgValueType", "BtnUpdateChart",
                              "BtnClearSeries", "BtnCloseDisplay"});
    auto* list = Find<QListWidget>(*display, "LbxSeries");
    for (const char* name : {"Wood Carbon", "Root Carbon", "Foliage Carbon"}) ClickItem(list, name);
    auto* chart = Find<OutputChart>(*display, "ChOutput");
    for (const Case& c : cases) {
      QTest::mouseClick(Find<QRadioButton>(*display, c.valueType), Qt::LeftButton, {},
                        QPoint(8, 8));
      Click(display, "BtnUpdateChart");
      // In list order: foliage, root, wood.
      EXPECT_EQ(Legend(chart),
                (std::vector<std::string>{"Foliage Carbon", "Root Carbon", "Wood Carbon"}));
      const std::vector<double> wood = Ys(chart->Series(2));
      ASSERT_EQ(wood.size(), c.wood.size()) << c.valueType;
      for (std::size_t i = 0; i < wood.size(); ++i)
        EXPECT_NEAR(wood[i], c.wood[i], kTolerance) << c.valueType << " point " << i;
      if (c.firstOfEach < 0) continue;
      for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(chart->Series(k)->at(0).y(), c.firstOfEach, kTolerance) << c.valueType;
    }
    EXPECT_EQ(chart->Axis(true)->titleText(), "Time");
  });
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DisplayGuiTest, TypingANameFindsItsItemAndSpaceThenSelectsIt) {
  WriteRun(2);
  OpenDisplay(false, [&](QWidget* display) {
    auto* list = Find<QListWidget>(*display, "LbxSeries");
    for (const char* name : {"Foliage Carbon", "Wood Carbon"}) {
      QTest::keyClicks(list, name);  // the blank finds, it does not toggle
      EXPECT_EQ(list->currentItem()->text().toStdString(), name);
      QTest::qWait(QApplication::keyboardInputInterval() + 50);
      QTest::keyClick(list, Qt::Key_Space);
    }
    QStringList selected;
    for (QListWidgetItem* item : list->selectedItems()) selected << item->text();
    EXPECT_EQ(selected, (QStringList{"Foliage Carbon", "Wood Carbon"}));
  });
}

TEST_F(DisplayGuiTest, InvalidSeriesAndTheSeriesLimitAreReportedAndTheRestDrawn) {
  WriteRun(3);
  OpenDisplay(false, [&](QWidget* display) {
    auto* list = Find<QListWidget>(*display, "LbxSeries");
    auto* chart = Find<OutputChart>(*display, "ChOutput");
    // Labile wood N starts at 0: relative change stops there; foliage before it is drawn.
    for (const char* name : {"Root Carbon", "Labile Wood N", "Foliage Carbon"})
      ClickItem(list, name);
    QTest::mouseClick(Find<QRadioButton>(*display, "RgValueTypeRelative"), Qt::LeftButton, {},
                      QPoint(8, 8));
    Click(display, "BtnUpdateChart");
    EXPECT_EQ(Messages(prompter), std::vector<std::string>{kInvalidSeriesMessage});
    EXPECT_EQ(prompter.messages[0].kind, MessageKind::kInformation);
    EXPECT_EQ(chart->Series(0)->count(), 3);
    EXPECT_EQ(chart->Series(1)->count(), 0);
    EXPECT_EQ(Legend(chart), (std::vector<std::string>{"Foliage Carbon", "Labile Wood N"}));

    // Twelve selected: the maximum message twice, ten series drawn.
    prompter.messages.clear();
    Click(display, "BtnClearSeries");
    QTest::mouseClick(Find<QRadioButton>(*display, "RgValueTypeActual"), Qt::LeftButton, {},
                      QPoint(8, 8));
    for (int i = 0; i < 12; ++i) ClickItem(list, list->item(i)->text().toStdString());
    Click(display, "BtnUpdateChart");
    EXPECT_EQ(Messages(prompter), std::vector<std::string>(2, kTooManySeriesMessage));
    EXPECT_EQ(Legend(chart).size(), 10u);
  });
}

TEST_F(DisplayGuiTest, CloseDisplayKeepsTheTableTheWindowFrameRereadsIt) {
  WriteRun(2);
  OpenDisplay(true, [&](QWidget* display) {
    EXPECT_EQ(TableRows(display), 3 + 2);
    display->close();  // the window frame
  });
  WriteRun(3);
  OpenDisplay(true, [&](QWidget* display) {
    EXPECT_EQ(TableRows(display), 3 + 3);  // read again
    Click(display, "BtnCloseDisplay");
  });
  EXPECT_FALSE(RunSettings.OutputReloadPending);
  WriteRun(4);
  OnNextModal([&](QWidget* display) { EXPECT_EQ(TableRows(display), 3 + 3); });  // not read
  Find<QAction>(*form, "MITable")->trigger();
}

TEST_F(DisplayGuiTest, SeriesDialogChoosesTheIndependentSeriesAndTheDependentSelection) {
  WriteRun(3);
  OpenDisplay(false, [&](QWidget* display) {
    auto* list = Find<QListWidget>(*display, "LbxSeries");
    ClickItem(list, "Root Carbon");
    OnNextModal([&](QWidget* dialog) {
      EXPECT_EQ(dialog->windowTitle().toStdString(), "Independent Axis - Choose one series.");
      auto* choose = Find<QListWidget>(*dialog, "LbxChooseSeries");
      ASSERT_EQ(choose->selectedItems().size(), 1);
      EXPECT_EQ(choose->selectedItems()[0]->text(), "Time");
      ClickItem(choose, "Foliage Carbon");
      Click(dialog, "OKBtn");
    });
    Trigger(display, "MIDefineX");
    Click(display, "BtnUpdateChart");
    auto* chart = Find<OutputChart>(*display, "ChOutput");
    EXPECT_EQ(chart->Axis(true)->titleText(), "Foliage Carbon");
    EXPECT_EQ(chart->Series(0)->at(2), QPointF(202, 398));

    // The dependent selection: shown as in the display, cleared with OK, kept with Cancel.
    ClickItem(list, "Wood Carbon");
    OnNextModal([&](QWidget* dialog) {
      EXPECT_EQ(dialog->windowTitle().toStdString(), "Dependent Axis - Choose series.");
      ExpectNoOverlap(dialog, {"LbxChooseSeries", "BtnClearSelection", "OKBtn", "CancelBtn"});
      EXPECT_EQ(Find<QListWidget>(*dialog, "LbxChooseSeries")->selectedItems().size(), 2);
      Click(dialog, "BtnClearSelection");
      Click(dialog, "CancelBtn");
    });
    Trigger(display, "MIDefineY");
    EXPECT_EQ(list->selectedItems().size(), 2);
    OnNextModal([&](QWidget* dialog) {
      Click(dialog, "BtnClearSelection");
      Click(dialog, "OKBtn");
    });
    Trigger(display, "MIDefineY");
    EXPECT_TRUE(list->selectedItems().isEmpty());
  });
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DisplayGuiTest, AxisDialogSwapsTheRangeAutoScaleWinsAndLogarithmicOutlivesCancel) {
  WriteRun(3);
  OpenDisplay(false, [&](QWidget* display) {
    ClickItem(Find<QListWidget>(*display, "LbxSeries"), "Root Carbon");
    auto* chart = Find<OutputChart>(*display, "ChOutput");
    const auto yRange = [&] {
      auto* axis = qobject_cast<QValueAxis*>(chart->Axis(false));
      return axis != nullptr ? std::pair(axis->min(), axis->max()) : std::pair(-1.0, -1.0);
    };
    OnNextModal([&](QWidget* dialog) {
      EXPECT_EQ(dialog->windowTitle().toStdString(), "Dependent Axis");
      ExpectNoOverlap(dialog, {"RGAxisType", "LblScale", "EdMinValue", "EdMaxValue", "CBAuto",
                               "OKBtn", "CancelBtn"});
      EXPECT_FALSE(Find<QCheckBox>(*dialog, "CBAuto")->isChecked());
      EXPECT_EQ(Find<QLineEdit>(*dialog, "EdMinValue")->text(), "0");  // includes zero
      EXPECT_EQ(Find<QLineEdit>(*dialog, "EdMaxValue")->text(), "400");
      Type(Find<QLineEdit>(*dialog, "EdMinValue"), "10");
      Type(Find<QLineEdit>(*dialog, "EdMaxValue"), "1");
      Click(dialog, "OKBtn");
    });
    Trigger(display, "MIScaleY");
    EXPECT_EQ(yRange(), std::pair(1.0, 10.0));

    OnNextModal([&](QWidget* dialog) {
      auto* autoScale = Find<QCheckBox>(*dialog, "CBAuto");
      autoScale->setChecked(true);
      Type(Find<QLineEdit>(*dialog, "EdMinValue"), "50");
      EXPECT_FALSE(autoScale->isChecked());  // leaving the changed field
      QTest::mouseClick(autoScale, Qt::LeftButton, {}, QPoint(8, autoScale->height() / 2));
      Click(dialog, "OKBtn");
    });
    Trigger(display, "MIScaleY");
    EXPECT_EQ(yRange(), std::pair(0.0, 400.0));

    OnNextModal([&](QWidget* dialog) {
      EXPECT_EQ(dialog->windowTitle().toStdString(), "Independent Axis");
      EXPECT_TRUE(Find<QCheckBox>(*dialog, "CBAuto")->isChecked());
      QTest::mouseClick(Find<QRadioButton>(*dialog, "RGAxisTypeLogarithmic"), Qt::LeftButton, {},
                        QPoint(8, 8));
      Click(dialog, "CancelBtn");
    });
    Trigger(display, "MIScaleX");
    auto* logarithmic = qobject_cast<QLogValueAxis*>(chart->Axis(true));
    ASSERT_NE(logarithmic, nullptr);
    Click(display, "BtnUpdateChart");  // the choice outlives updates
    logarithmic = qobject_cast<QLogValueAxis*>(chart->Axis(true));
    ASSERT_NE(logarithmic, nullptr);
    EXPECT_EQ(logarithmic->min(), 1600.0);
    EXPECT_EQ(logarithmic->max(), 1602.0);

    // By keyboard, quicker than the shortcut's click: Logarithmic, Tab, Enter.
    OnNextModal([&](QWidget* dialog) {
      QTest::keyClick(dialog, Qt::Key_G, Qt::AltModifier);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    Trigger(display, "MIScaleY");
    EXPECT_NE(qobject_cast<QLogValueAxis*>(chart->Axis(false)), nullptr);
  });
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DisplayGuiTest, ExportsTheChartAsPngSvgAndPdfAndTheTableAsCsv) {
  WriteRun(3);
  OpenDisplay(false, [&](QWidget* display) {
    ClickItem(Find<QListWidget>(*display, "LbxSeries"), "Wood Carbon");
    Click(display, "BtnUpdateChart");
    for (const char* name : {"c.png", "c.svg", "c.pdf"}) {
      prompter.QueueFile(dir.File(name));
      Trigger(display, "MIExportChart");
    }
    prompter.QueueFile(dir.File("t.csv"));
    Trigger(display, "MIExportTable");
    prompter.QueueAnswer(Answer::kCancel);
    Trigger(display, "MIPrintChart");
  });
  EXPECT_EQ(dir.Read("c.png").substr(0, 4), "\x89PNG");
  const std::string svg = dir.Read("c.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("Wood Carbon"), std::string::npos);  // text, not a picture of it
  EXPECT_EQ(dir.Read("c.pdf").substr(0, 5), "%PDF-");
  const std::string csv = dir.Read("t.csv");
  EXPECT_EQ(csv.substr(0, csv.find(',')), "Time");
  EXPECT_NE(csv.find("\r\n1601,"), std::string::npos);
  EXPECT_NE(csv.find(",10000.4,"), std::string::npos);
  EXPECT_EQ(Messages(prompter), std::vector<std::string>{kPrintQuestion});
}

}  // namespace
}  // namespace kvsorv
