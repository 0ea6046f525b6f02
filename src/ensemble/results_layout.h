#pragma once
// The two layouts of the results file. Format 2 (the one written) follows the CF conventions:
// one variable per kept output, named by its symbol ("Cf", or "Cf_cell2" in a chain of several
// cells), time x member, with units and long names from the catalogue; time in days of a
// 365-day calendar since year 0 beside the exact `model_year`; a `member` coordinate
// (standard name "realization"). Format 1, the older one, holds every output in one variable
// `value` (member x time x variable); it is still read and written, so that runs resume and
// shards merge into files made by earlier versions.

#include <cstddef>
#include <string>
#include <vector>

#include "ensemble/member_run.h"
#include "ensemble/plan.h"
#include "ensemble/sampling.h"

namespace netCDF {
class NcFile;
}

namespace kvsorv::ensemble {

// The value of the global attribute `results_format` in the files written now.
constexpr int kResultsFormat = 2;

// The netCDF variable of an output as the site names it: "Cf" -> "Cf", "cell2/Cf" -> "Cf_cell2".
std::string OutputVariableName(const std::string& output);

// A model year (fractional, negative, before year 1) as days since 0000-01-01 of the 365-day
// calendar: 365 days a year, exact for whole years.
double DaysOfModelYear(double year);

// True for a file of format 2 (it has the attribute `results_format`), false for format 1.
bool IsCfLayout(const netCDF::NcFile& file);

// The global attributes of both layouts that say how the members were drawn: the design's
// method, its step or levels where it has them, and the fingerprints of the design and of the
// files the members read.
void PutDesignAttributes(netCDF::NcFile& file, const EnsemblePlan& plan, const Design& design);

// The CF layout of a new file: dimensions, coordinates, one variable per output, the members'
// parameters, statuses (all missing) and error texts, and the global attributes.
void WriteCfLayout(netCDF::NcFile& file, const EnsemblePlan& plan, const EnsembleSite& site,
                   const Design& design, const std::string& version);

// The outputs of a format-2 file as the site names them ("cell2/Cf"), in the file's order,
// and the netCDF variable holding each.
struct CfOutputs {
  std::vector<std::string> names;
  std::vector<std::string> variables;
};
CfOutputs ReadCfOutputs(const netCDF::NcFile& file);

}  // namespace kvsorv::ensemble
