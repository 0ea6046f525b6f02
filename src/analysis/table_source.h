#pragma once
// A plain table of members (see member_table.h) as series for the analyses: the first
// `inputs` columns are the design, named by `designMethod`; every other column is an output
// at a single time (written as an empty time cell). A member with any output that is not a
// number counts as failed.

#include <memory>
#include <string>

#include "analysis/member_table.h"
#include "analysis/series_source.h"

namespace kvsorv::analysis {

// Failures: EAnalysisError naming the file when `inputs` leaves no output column.
std::unique_ptr<SeriesSource> TableSource(const MemberTable& table, const std::string& fileName,
                                          std::size_t inputs, const std::string& designMethod);

// Series already in memory: `batch` holds every series of `layout` (from 0, as many members
// as the layout has), handed out at once.
std::unique_ptr<SeriesSource> MemorySource(EnsembleLayout layout, SeriesBatch batch);

}  // namespace kvsorv::analysis
