#pragma once
// The series dialog's rules (TFmSeries): it chooses the independent series or the dependent
// series of the display's chart, for the axis named by the session's AxisIsX.

#include <string>
#include <vector>

#include "display/display_session.h"

namespace kvsorv {

inline constexpr const char* kIndependentSeriesCaption = "Independent Axis - Choose one series.";
inline constexpr const char* kDependentSeriesCaption = "Dependent Axis - Choose series.";

struct SeriesDialogState {
  std::string caption;
  bool multipleSelection = false;
  SeriesList list;  // the display's names; selected: XSeriesName, or the display's selection
};

// What the dialog shows when it opens.
SeriesDialogState OpenSeriesDialog(const OutputDisplaySession& session);

// OK with the dialog's selection (one flag per item): the first selected item becomes
// XSeriesName (none selected keeps it), or the display's list takes the selection.
void AcceptSeriesDialog(OutputDisplaySession& session, const std::vector<bool>& selection);

}  // namespace kvsorv
