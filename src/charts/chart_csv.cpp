#include "charts/chart_csv.h"

#include "files/csv_table.h"
#include "files/text_writer.h"

namespace kvsorv {

std::string CsvLine(std::initializer_list<std::string> cells) {
  std::string row;
  for (const std::string& cell : cells) row += (row.empty() ? "" : ",") + CsvField(cell);
  return row + '\n';
}

void WriteChartCsvText(const std::string& fileName, const std::string& text) {
  TextWriter file(fileName);
  file.Write(text);
  file.Close();
}

}  // namespace kvsorv
