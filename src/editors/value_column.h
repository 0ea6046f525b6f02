#pragma once
// The value column of an editor's grid stored as a whole: every text is converted before any
// value is stored, so a text that is not a number leaves every value as it was.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kvsorv {

// One value cell: the symbol of its row and the text in it.
struct ValueCell {
  std::string symbol;
  std::string text;
};

// The numbers of all cells, in order, or the position of the first cell whose text is not a
// number, after the error box (OK) that names its row:
//   "No values stored: the value of <symbol> is not a number."
//   "'<text>' is not a valid floating point value"
struct ConvertedColumn {
  std::vector<double> values;
  std::optional<std::size_t> badCell;
};
ConvertedColumn ConvertValueColumn(const std::vector<ValueCell>& cells);

// The message of that error box.
std::string BadValueMessage(const ValueCell& cell);

}  // namespace kvsorv
