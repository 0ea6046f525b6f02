#include "display/series_list.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "display/output_names.h"
#include "program/prompter.h"

namespace kvsorv {

namespace {

int CompareWithoutCase(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = std::tolower(static_cast<unsigned char>(a[i]));
    const int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

std::vector<std::string> SeriesList::SelectedNames() const {
  std::vector<std::string> chosen;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (selected[i]) chosen.push_back(names[i]);
  return chosen;
}

int SeriesList::Find(const std::string& name) const {
  const auto found = std::find(names.begin(), names.end(), name);
  return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

int SeriesList::FindTyped(std::string_view typed) const {
  // A name's start is looked for first, so that typing finds names as it always has.
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i].size() >= typed.size() &&
        CompareWithoutCase(names[i].substr(0, typed.size()), std::string(typed)) == 0)
      return static_cast<int>(i);
  const std::optional<std::string> name = OutputNameOfSymbol(typed);
  return name ? Find(*name) : -1;
}

SeriesList FillSeriesList(const OutputTable& table) {
  SeriesList list;
  for (int c = 0; c < table.ColumnCount(); ++c) list.names.push_back(table.Column(c).name);
  std::sort(list.names.begin(), list.names.end(), [](const std::string& a, const std::string& b) {
    const int order = CompareWithoutCase(a, b);
    return order != 0 ? order < 0 : a < b;
  });
  list.ClearSelection();
  return list;
}

std::vector<std::string> ChooseDependentSeries(const SeriesList& list) {
  std::vector<std::string> chosen;
  for (const std::string& name : list.SelectedNames()) {
    if (static_cast<int>(chosen.size()) == kMaxChartSeries) {
      CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk, kTooManySeriesMessage);
      continue;
    }
    chosen.push_back(name);
  }
  return chosen;
}

}  // namespace kvsorv
