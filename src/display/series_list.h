#pragma once
// The series list of the output display and of its series dialog: "Time" and the name of
// every driver, state and process, kept in alphabetical order, each item selected or not; an
// item is found by its name or by its quantity's symbol.

#include <string>
#include <string_view>
#include <vector>

#include "display/output_table.h"

namespace kvsorv {

inline constexpr int kMaxChartSeries = 10;
inline constexpr const char* kTooManySeriesMessage = "Cannot display series. Maximum is 10 series.";

struct SeriesList {
  std::vector<std::string> names;  // alphabetical
  std::vector<bool> selected;      // one per name

  // The names of the selected items, in list order.
  std::vector<std::string> SelectedNames() const;
  void ClearSelection() { selected.assign(names.size(), false); }
  // Position of the item with exactly this text, or -1.
  int Find(const std::string& name) const;
  // Position of the item a typed text finds: the first whose name starts with it (letters
  // compared without regard to case), else the one of the quantity whose catalogue symbol it
  // is ("Cf" finds "Foliage Carbon"); -1 when none.
  int FindTyped(std::string_view typed) const;
};

// The table's column names in alphabetical order (letters compared without regard to case,
// ties in the order of their case-sensitive texts), none selected.
SeriesList FillSeriesList(const OutputTable& table);

// The dependent series of a chart update: the selected names in list order, at most 10; each
// selected item beyond the tenth is left out with the error "Cannot display series. Maximum
// is 10 series." through the prompter.
std::vector<std::string> ChooseDependentSeries(const SeriesList& list);

}  // namespace kvsorv
