#include "files/csv_cells.h"

namespace kvsorv {

std::vector<std::string> CsvCells(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<std::string> cells;
  if (line.empty()) return cells;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    std::string_view cell =
        line.substr(start, comma == std::string_view::npos ? line.npos : comma - start);
    while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t')) cell.remove_prefix(1);
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t')) cell.remove_suffix(1);
    cells.emplace_back(cell);
    if (comma == std::string_view::npos) return cells;
    start = comma + 1;
  }
}

}  // namespace kvsorv
