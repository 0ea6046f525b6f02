#pragma once
// The output display (TFmDisplayData): an output file as a table, or a chart of up to 10 of
// its columns with the series list below it. A thin view over OutputDisplaySession, which
// holds the table, the list's selection, the chart's series and the axes' scales.

#include <QDialog>
#include <functional>

#include "display/display_session.h"

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace kvsorv {

class OutputChart;
struct AxisView;
class OutputTableModel;
class OutputTableView;
class SeriesListBox;

inline constexpr const char* kDirections = " Select a maximum of 10 series to plot.";
inline constexpr const char* kPrintQuestion = "Print chart to the default printer?";
inline constexpr const char* kNoPrinterMessage = "There is no default printer to print on.";

class TFmDisplayData : public QDialog {
  Q_OBJECT
 public:
  // What the display asks of the windows around it.
  struct Hooks {
    std::function<void()> viewOutputFile;  // the main window's From File command
    // The series dialog and the axis dialog, modal, on the session's AxisIsX; the axis
    // dialog calls `axesChanged` when it changes a scale before it closes.
    std::function<void(OutputDisplaySession&)> chooseSeries;
    std::function<void(OutputDisplaySession&, const std::function<void()>& axesChanged)> scaleAxis;
  };

  explicit TFmDisplayData(Hooks hooks, QWidget* parent = nullptr);

  // Shows the window modally, maximized, as a table or as a chart.
  void Open(bool tableMode);
  OutputDisplaySession& Session() { return session_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildMenu();
  void BuildBottomPanel();
  // The series list and its directions, left of the bottom panel.
  void BuildSeriesPanel();
  // The value types and the buttons, right of it.
  void BuildCommandPanel();
  void BuildValueTypes();
  // Runs a command with the program's failure report.
  void Command(const std::function<void()>& command);

  void FormShow();
  void LoadTable();
  void UpdateChart();
  void ShowAxes();
  AxisView AxisViewOf(bool isX) const;
  void ChooseSeries(bool axisIsX);
  void ScaleClick(bool axisIsX);
  void BtnClearSeriesClick();
  void BtnCloseDisplayClick();
  void MINewFileClick();
  void MIPrintChartClick();
  void MIExportChartClick();
  void MIExportTableClick();
  void FormResize();

  Hooks hooks_;
  OutputDisplaySession session_;
  OutputTableModel* model_;
  bool TableMode = false;

  QStackedWidget* pages_;
  OutputTableView* SgModelOutput;
  OutputChart* ChOutput;
  QWidget* PnBottom;
  QWidget* PnBottomLeft;
  QWidget* PnBottomRight;
  QLabel* LbDirections;
  SeriesListBox* LbxSeries;
  QGroupBox* RgValueType;
  QRadioButton* valueTypes_[3];
  QPushButton* BtnUpdateChart;
  QPushButton* BtnClearSeries;
  QPushButton* BtnCloseDisplay;

  QMenu* MIWindow;
  QAction* MINewFile;
  QAction* MIExportChart;
  QAction* MIExportTable;
  QAction* MICloseDisplay;
  QMenu* MIChart;
  QMenu* MIXaxis;
  QAction* MIDefineX;
  QAction* MIScaleX;
  QMenu* MIYaxis;
  QAction* MIDefineY;
  QAction* MIScaleY;
  QAction* MIUpdateChart;
  QAction* MIPrintChart;
};

}  // namespace kvsorv
