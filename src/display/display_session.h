#pragma once
// The rules of the output display (TFmDisplayData) without any widget: the table read from
// the output file, the series list and its selection, the chart's series and the scales of
// its axes. The window shows what the session holds and hands it every command; messages go
// through CurrentPrompter(), file failures pass on as EInOutError.

#include <string>
#include <vector>

#include "display/axis_scale.h"
#include "display/chart_data.h"
#include "display/output_table.h"
#include "display/series_list.h"

namespace kvsorv {

inline constexpr const char* kDisplayDesignCaption = "Model Output Display";
inline constexpr const char* kDisplayCaptionPrefix = "Model Output - File: ";

class OutputDisplaySession {
 public:
  // The window's creation: the table's columns from the catalogue, the series list, the
  // independent series "Time", and the output marked for reloading (RunSettings'
  // OutputReloadPending).
  OutputDisplaySession();

  const OutputTable& Table() const { return table_; }
  SeriesList& Series() { return series_; }
  const SeriesList& Series() const { return series_; }
  // The window's caption: the design caption until a file is loaded.
  const std::string& Caption() const { return caption_; }

  // The loading step of each showing: LoadTable when the output is marked for reloading.
  // Returns whether it loaded.
  bool LoadIfPending();
  // Empties the table, takes the caption "Model Output - File: " and RunSettings'
  // DisplayFileName, and reads that file's records timed at or after RunSettings' StartTime.
  // A read failure passes on; the rows read before it stay.
  void LoadTable();
  // Drops every data row and marks the output for reloading.
  void ClearTable();
  // Close Display: the table is not read again at the next showing unless something marks
  // the output as changed meanwhile.
  void CloseDisplay();

  // Rebuilds the chart: the dependent series are the selected items in list order (at most
  // 10, "Cannot display series. Maximum is 10 series." for each further one), plotted as
  // `valueType` against XSeriesName; an invalid series is reported as "Cannot update chart.
  // Invalid series." (information). Both axes then return to their automatic scale.
  void UpdateChart();
  const ChartData& Chart() const { return chart_; }
  const std::vector<std::string>& YSeriesNames() const { return ySeriesNames_; }

  // The scale of the independent (isX) or dependent axis.
  const AxisState& Axis(bool isX) const { return isX ? xAxis_ : yAxis_; }
  // Automatic: the independent axis spans the points again, the dependent axis gets
  // min(0, smallest y) to the largest y. Otherwise the range given (swapped, widened) and the
  // increment, the automatic scaling off.
  void SetAxisScale(bool isX, bool automatic, double minimum, double maximum, double increment);
  void SetAxisLog(bool isX, bool logarithmic);
  // The range the axis shows: its range, with logarithmic bounds applied.
  AxisRange ShownRange(bool isX) const;

  std::string XSeriesName = "Time";
  ValueType valueType = ValueType::kActual;
  bool AxisIsX = false;  // which axis the series and axis dialogs work on

 private:
  OutputTable table_;
  SeriesList series_;
  std::string caption_ = kDisplayDesignCaption;
  ChartData chart_;
  ChartExtent extent_;  // of chart_
  std::vector<std::string> ySeriesNames_;
  AxisState xAxis_;
  AxisState yAxis_{.logarithmic = false, .automatic = false, .range = {}, .increment = 0.0};
};

}  // namespace kvsorv
