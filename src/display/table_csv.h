#pragma once
// The output table as comma-separated values: one row of column names, one of units, then
// one row per data row with every value as the file gave it (the shortest text that reads
// back to the same double, point as decimal separator). Fields holding a comma, a quote or a
// line break, or with blanks at either end, are quoted, their quotes doubled (files/csv_table.h);
// lines end with CR LF.

#include <string>

#include "display/output_table.h"

namespace kvsorv {

// Writes the table to the file, replacing it only once fully written. EInOutError when the
// file cannot be written.
void WriteTableCsv(const OutputTable& table, const std::string& fileName);

}  // namespace kvsorv
