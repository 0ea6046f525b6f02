#include "display/series_choice.h"

#include <algorithm>

namespace kvsorv {

SeriesDialogState OpenSeriesDialog(const OutputDisplaySession& session) {
  SeriesDialogState state;
  state.list = session.Series();
  if (session.AxisIsX) {
    state.caption = kIndependentSeriesCaption;
    state.list.ClearSelection();
    if (const int chosen = state.list.Find(session.XSeriesName); chosen >= 0)
      state.list.selected[static_cast<std::size_t>(chosen)] = true;
  } else {
    state.caption = kDependentSeriesCaption;
    state.multipleSelection = true;
  }
  return state;
}

void AcceptSeriesDialog(OutputDisplaySession& session, const std::vector<bool>& selection) {
  SeriesList& list = session.Series();
  const std::size_t n = std::min(selection.size(), list.names.size());
  if (!session.AxisIsX) {
    for (std::size_t i = 0; i < n; ++i) list.selected[i] = selection[i];
    return;
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (selection[i]) {
      session.XSeriesName = list.names[i];
      return;
    }
  }
}

}  // namespace kvsorv
