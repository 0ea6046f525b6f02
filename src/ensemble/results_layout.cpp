#include "ensemble/results_layout.h"

#include <netcdf.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <netcdf>
#include <optional>

#include "ensemble/results_file.h"
#include "ensemble/results_guard.h"
#include "model/catalogue.h"

namespace kvsorv::ensemble {

namespace {

using netCDF::NcDim;
using netCDF::NcFile;
using netCDF::NcVar;

constexpr double kDaysPerYear = 365.0;

// The symbol and the cell of an output as the site names it ("cell2/Cf": "Cf" and 2; "Cf":
// "Cf" and 0).
std::pair<std::string, int> SymbolAndCell(const std::string& output) {
  const std::size_t slash = output.find('/');
  if (slash == std::string::npos || output.rfind("cell", 0) != 0) return {output, 0};
  return {output.substr(slash + 1), std::atoi(output.c_str() + 4)};
}

// The catalogue's name and units of the quantity with this symbol; none for a symbol it lacks.
std::optional<std::pair<std::string, std::string>> NameAndUnits(const std::string& symbol) {
  const std::optional<OutputQuantity> q = FindOutputQuantity(symbol);
  if (!q) return std::nullopt;
  const ModelCatalogue& c = Catalogue();
  const std::string& name = q->kind == OutputKind::kState     ? c.states[q->index].name
                            : q->kind == OutputKind::kProcess ? c.processes[q->index].name
                                                              : c.drivers[q->index].name;
  return std::make_pair(name, UnitsOf(*q));
}

void PutStrings(NcVar& var, const std::vector<std::string>& texts) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const char* text = texts[i].c_str();
    var.putVar({i}, &text);
  }
}

}  // namespace

std::string OutputVariableName(const std::string& output) {
  const auto [symbol, cell] = SymbolAndCell(output);
  return cell == 0 ? symbol : symbol + "_cell" + std::to_string(cell);
}

double DaysOfModelYear(double year) {
  return year * kDaysPerYear;
}

bool IsCfLayout(const NcFile& file) {
  return file.getAtts().count("results_format") != 0;
}

void PutDesignAttributes(netCDF::NcFile& file, const EnsemblePlan& plan, const Design& design) {
  file.putAtt("design_method", MethodName(design.method));
  if (design.method == Method::kOneAtATime) file.putAtt("oat_step", netCDF::ncDouble, plan.oatStep);
  if (design.method == Method::kMorris)
    file.putAtt("morris_levels", netCDF::ncInt, plan.morrisLevels);
  for (const GuardEntry& entry : GuardOf(plan, design))
    if (!entry.fingerprint.empty()) file.putAtt(entry.attribute, entry.fingerprint);
}

void WriteCfLayout(NcFile& file, const EnsemblePlan& plan, const EnsembleSite& site,
                   const Design& design, const std::string& version) {
  const std::size_t members = design.rows.size(), times = site.times.size();
  const NcDim time = file.addDim("time", times);
  const NcDim member = file.addDim("member", members);
  const NcDim parameter = file.addDim("parameter", plan.parameters.size());
  const NcDim output = file.addDim("output", site.variables.size());

  file.putAtt("Conventions", "CF-1.8");
  file.putAtt("title", "Ensemble of the plan " + plan.file.filename().string());
  file.putAtt("results_format", netCDF::ncInt, kResultsFormat);
  file.putAtt("plan_fingerprint", FingerprintText(plan.hash));
  file.putAtt("program_version", version);
  const unsigned long long seed = plan.seed;
  file.putAtt("seed", netCDF::ncUint64, 1, &seed);
  PutDesignAttributes(file, plan, design);

  NcVar days = file.addVar("time", netCDF::ncDouble, time);
  days.putAtt("standard_name", "time");
  days.putAtt("long_name", "end of the output step");
  days.putAtt("units", "days since 0000-01-01 00:00:00");
  days.putAtt("calendar", "365_day");
  days.putAtt("axis", "T");
  std::vector<double> encoded(site.times.size());
  std::transform(site.times.begin(), site.times.end(), encoded.begin(), DaysOfModelYear);
  if (times > 0) days.putVar(encoded.data());
  NcVar years = file.addVar("model_year", netCDF::ncDouble, time);
  years.putAtt("long_name", "model year at the end of the output step");
  years.putAtt("units", "year");
  if (times > 0) years.putVar(site.times.data());

  NcVar index = file.addVar("member", netCDF::ncInt, member);
  index.putAtt("standard_name", "realization");
  index.putAtt("long_name", "member of the design (its row, from 0)");
  std::vector<int> rows(members);
  for (std::size_t m = 0; m < members; ++m) rows[m] = static_cast<int>(m);
  if (members > 0) index.putVar(rows.data());

  NcVar symbols = file.addVar("parameter", netCDF::ncString, parameter);
  symbols.putAtt("long_name", "symbol of the varied parameter");
  std::vector<std::string> names;
  for (const auto& p : plan.parameters) names.push_back(p.symbol);
  PutStrings(symbols, names);
  NcVar outputs = file.addVar("output", netCDF::ncString, output);
  outputs.putAtt("long_name", "kept output as the plan names it");
  PutStrings(outputs, site.variables);

  std::vector<std::size_t> chunk{std::max<std::size_t>(times, 1), 1};
  for (const std::string& name : site.variables) {
    NcVar values = file.addVar(OutputVariableName(name), netCDF::ncDouble, {time, member});
    values.setCompression(true, true, 1);
    // One member per chunk: members are written one at a time, as they finish.
    values.setChunking(NcVar::nc_CHUNKED, chunk);
    values.setFill(true, std::numeric_limits<double>::quiet_NaN());
    const auto [symbol, cell] = SymbolAndCell(name);
    if (const auto known = NameAndUnits(symbol)) {
      values.putAtt("long_name", known->first);
      values.putAtt("units", known->second);
    } else {
      values.putAtt("long_name", symbol);
    }
    if (cell != 0) values.putAtt("cell", netCDF::ncInt, cell);
    values.putAtt("coordinates", "model_year");
  }

  NcVar status = file.addVar("status", netCDF::ncByte, member);
  const signed char flags[] = {0, 1, 2};
  status.putAtt("long_name", "outcome of the member's run");
  status.putAtt("flag_values", netCDF::ncByte, 3, flags);
  status.putAtt("flag_meanings", "missing done failed");
  // No fill value: every member is written missing here, and a fill value would have
  // readers take "missing" for no data.
  nc_def_var_fill(file.getId(), status.getId(), NC_NOFILL, nullptr);
  const std::vector<signed char> missing(members, 0);
  if (members > 0) status.putVar(missing.data());
  NcVar error = file.addVar("error", netCDF::ncString, member);
  error.putAtt("long_name", "why the member's run failed");
  NcVar values = file.addVar("parameter_value", netCDF::ncDouble, {member, parameter});
  values.putAtt("long_name", "value of the varied parameter in the member's run");
  values.setFill(true, std::numeric_limits<double>::quiet_NaN());
  NcVar kept = file.addVar("kept", netCDF::ncByte, {time, output});
  kept.putAtt("long_name", "1 where a member that is done has a value");
  const std::vector<unsigned char> mask = KeptValues(plan, site);
  const std::vector<signed char> keptBytes(mask.begin(), mask.end());
  if (!keptBytes.empty()) kept.putVar(keptBytes.data());
  file.sync();
}

CfOutputs ReadCfOutputs(const NcFile& file) {
  CfOutputs outputs;
  const std::size_t n = file.getDim("output").getSize();
  std::vector<char*> raw(n, nullptr);
  if (n > 0) file.getVar("output").getVar(raw.data());
  for (char* text : raw) {
    outputs.names.emplace_back(text != nullptr ? text : "");
    std::free(text);
  }
  for (const std::string& name : outputs.names)
    outputs.variables.push_back(OutputVariableName(name));
  return outputs;
}

}  // namespace kvsorv::ensemble
