#pragma once
// A results file as one long ("tidy") CSV table, as R's read.csv and pandas.read_csv take it
// without options: a header line, then one row per member, output and kept time,
// `member,cell,time,output,value,status,<parameter>...` (cell empty for a plan of one cell,
// time the model year, value empty where the member has none, status done, failed or
// missing, then the member's parameter values). Numbers are the shortest text that reads back
// to the same double; a cell is quoted (RFC 4180) only where it holds a comma, a quote or a
// line break. Lines end with CR LF.

#include <string>

#include "ensemble/results_file.h"
#include "tasks/feedback.h"

namespace kvsorv::ensemble {

// Writes `results` to `csvFile` (replaced only once wholly written). With `feedback` canceled
// it stops between blocks of members and
// returns false with `csvFile` as it was and no temporary file left; true once written.
// Failures: EInOutError naming `csvFile` when it cannot be written; EResultsError naming the
// results file when its values cannot be read.
bool ExportTidyCsv(const ResultsFile& results, const std::string& csvFile,
                   Feedback* feedback = nullptr);

}  // namespace kvsorv::ensemble
