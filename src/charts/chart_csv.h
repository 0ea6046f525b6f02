#pragma once
// What every chart's CSV is made of: rows of cells, quoted where they need it, and the text
// written to its file (replaced only once fully written).

#include <initializer_list>
#include <string>

namespace kvsorv {

// A line of cells, each as CsvField writes it, ended by a line feed.
std::string CsvLine(std::initializer_list<std::string> cells);

// Failures: EInOutError naming the file when it cannot be written.
void WriteChartCsvText(const std::string& fileName, const std::string& text);

}  // namespace kvsorv
