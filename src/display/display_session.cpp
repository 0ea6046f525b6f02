#include "display/display_session.h"

#include "program/prompter.h"
#include "program/run_settings.h"

namespace kvsorv {

OutputDisplaySession::OutputDisplaySession()
    : table_(OutputTable::ForCatalogue()), series_(FillSeriesList(table_)) {
  RunSettings.OutputReloadPending = true;
}

bool OutputDisplaySession::LoadIfPending() {
  if (!RunSettings.OutputReloadPending) return false;
  LoadTable();
  return true;
}

void OutputDisplaySession::LoadTable() {
  ClearTable();
  caption_ = kDisplayCaptionPrefix + RunSettings.DisplayFileName;
  ReadOutputTable(table_, RunSettings.DisplayFileName, RunSettings.StartTime);
}

void OutputDisplaySession::ClearTable() {
  table_.Clear();
  RunSettings.OutputReloadPending = true;
}

void OutputDisplaySession::CloseDisplay() {
  RunSettings.OutputReloadPending = false;
}

void OutputDisplaySession::UpdateChart() {
  ySeriesNames_ = ChooseDependentSeries(series_);
  chart_ = BuildChartData(table_, XSeriesName, ySeriesNames_, valueType);
  extent_ = ExtentOf(chart_);
  if (chart_.failed)
    CurrentPrompter().Message(MessageKind::kInformation, MessageButtons::kOk,
                              kInvalidSeriesMessage);
  SetAxisScale(true, true, 0, 0, 0);
  SetAxisScale(false, true, 0, 0, 0);
}

void OutputDisplaySession::SetAxisScale(bool isX, bool automatic, double minimum, double maximum,
                                        double increment) {
  AxisState& axis = isX ? xAxis_ : yAxis_;
  if (automatic) {
    axis.automatic = isX;
    axis.range = isX ? IndependentAutoRange(extent_) : DependentAutoRange(extent_);
    axis.increment = 0.0;
    return;
  }
  axis.automatic = false;
  axis.range = ExplicitRange(minimum, maximum);
  axis.increment = increment;
}

void OutputDisplaySession::SetAxisLog(bool isX, bool logarithmic) {
  (isX ? xAxis_ : yAxis_).logarithmic = logarithmic;
}

AxisRange OutputDisplaySession::ShownRange(bool isX) const {
  const AxisState& axis = Axis(isX);
  if (!axis.logarithmic) return axis.range;
  return LogarithmicRange(axis.range, isX ? extent_.minPositiveX : extent_.minPositiveY);
}

}  // namespace kvsorv
