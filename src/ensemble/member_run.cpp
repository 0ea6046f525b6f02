#include "ensemble/member_run.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <memory>

#include "ensemble/output_times.h"
#include "files/cell_file_names.h"
#include "files/driver_series.h"
#include "files/number_text.h"
#include "files/param_file.h"
#include "model/catalogue.h"
#include "run/cell_chain.h"
#include "run/cell_drivers.h"

namespace kvsorv::ensemble {

namespace {

double Value(const OutputSpec& o, const drivearray& d, const statearray& s, const processarray& p) {
  switch (o.kind) {
    case OutputKind::kState:
      return s[o.index].value;
    case OutputKind::kProcess:
      return p[o.index].value;
    case OutputKind::kDriver:
      return d[o.index].value;
  }
  return std::numeric_limits<double>::quiet_NaN();
}

// Whether the output line at `time` holds a value of `o` to keep; `sorted` holds o.times in
// rising order (a plan may keep many times: each line looks up its nearest two).
bool Kept(const OutputSpec& o, const std::vector<double>& sorted, double time, double halfStep) {
  if (o.everyLine) return true;
  const auto next = std::upper_bound(sorted.begin(), sorted.end(), time - halfStep);
  if (next != sorted.end() && std::fabs(*next - time) < halfStep) return true;
  return next != sorted.begin() && std::fabs(*std::prev(next) - time) < halfStep;
}

// Each output's kept times in rising order.
std::vector<std::vector<double>> SortedKeptTimes(const EnsemblePlan& plan) {
  std::vector<std::vector<double>> sorted;
  for (const OutputSpec& o : plan.outputs) {
    sorted.push_back(o.times);
    std::sort(sorted.back().begin(), sorted.back().end());
  }
  return sorted;
}

// The site's sorted kept times, or `own` sorted here for a site made without LoadSite.
const std::vector<std::vector<double>>& KeptTimesOf(const EnsemblePlan& plan,
                                                    const EnsembleSite& site,
                                                    std::vector<std::vector<double>>& own) {
  if (site.keptTimes.size() == plan.outputs.size()) return site.keptTimes;
  own = SortedKeptTimes(plan);
  return own;
}

// Keeps the plan's outputs of one cell's output lines.
class OutputCollector : public RunSink {
 public:
  OutputCollector(const EnsemblePlan& plan, const EnsembleSite& site, MemberResult& result)
      : plan_(plan), site_(site), result_(result), keptTimes_(KeptTimesOf(plan, site, own_)) {}
  void SetCell(int position) {
    cellPosition_ = position;
    line_ = 0;
  }

  void OutputLine(double time, const drivearray& d, const statearray& s,
                  const processarray& p) override {
    const std::size_t t = line_++;
    if (t >= site_.times.size()) return;
    const std::size_t outputs = plan_.outputs.size();
    const double halfStep = 0.5 * plan_.times.outputStep;
    for (std::size_t v = 0; v < outputs; ++v) {
      const OutputSpec& o = plan_.outputs[v];
      if (!Kept(o, keptTimes_[v], time, halfStep)) continue;
      const std::size_t column = static_cast<std::size_t>(cellPosition_) * outputs + v;
      result_.values[t * site_.variables.size() + column] = Value(o, d, s, p);
    }
  }
  void NextCellRecord(double, const drivearray&) override {}

 private:
  const EnsemblePlan& plan_;
  const EnsembleSite& site_;
  MemberResult& result_;
  std::vector<std::vector<double>> own_;  // kept times sorted here, for a site made by hand
  const std::vector<std::vector<double>>& keptTimes_;
  int cellPosition_ = 0;
  std::size_t line_ = 0;
};

}  // namespace

EnsembleSite LoadSite(const EnsemblePlan& plan) {
  EnsembleSite site;
  RunInputs& in = site.base;
  const ModelCatalogue& catalogue = Catalogue();
  in.states = catalogue.states;
  in.params = catalogue.params;
  in.drivers = catalogue.drivers;
  in.processes = catalogue.processes;
  double residual = 0.0;
  if (!ReadParamValues(plan.paramFile, catalogue.def.numparam, in.params, catalogue.def.numstate,
                       in.states, residual))
    throw EPlanError(plan.file.string() + ": params: '" + plan.paramFile +
                     "' is not a parameter file of this model");
  in.times = plan.times;
  ReadCellDrivers(in, plan.driverFile);
  if (in.mainDrivers->fileMissing)
    throw EPlanError(plan.file.string() + ": drivers: '" + plan.driverFile + "' does not exist");
  if (in.baseDrivers->fileMissing)
    throw EPlanError(plan.file.string() + ": drivers: the base driver file '" +
                     DirectoryOf(plan.driverFile) + kBaseDriverFile +
                     "' beside the driver file does not exist");
  site.times = OutputTimes(plan.times);
  site.keptTimes = SortedKeptTimes(plan);
  for (int c = 0; c < plan.cells; ++c)
    for (const OutputSpec& o : plan.outputs)
      site.variables.push_back(
          plan.cells == 1 ? o.symbol : "cell" + std::to_string(in.cellNumber + c) + "/" + o.symbol);
  return site;
}

std::vector<unsigned char> KeptValues(const EnsemblePlan& plan, const EnsembleSite& site) {
  const std::size_t outputs = plan.outputs.size();
  // A site made without a plan's outputs (by hand) keeps every value.
  std::vector<unsigned char> kept(site.times.size() * site.variables.size(), outputs == 0);
  if (outputs == 0) return kept;
  std::vector<std::vector<double>> own;
  const std::vector<std::vector<double>>& sorted = KeptTimesOf(plan, site, own);
  for (std::size_t t = 0; t < site.times.size(); ++t)
    for (std::size_t column = 0; column < site.variables.size(); ++column)
      kept[t * site.variables.size() + column] =
          Kept(plan.outputs[column % outputs], sorted[column % outputs], site.times[t],
               0.5 * plan.times.outputStep);
  return kept;
}

std::vector<double> MemberParameters(const std::vector<double>& row) {
  std::vector<double> values;
  for (const double x : row) values.push_back(StrToFloat(FormatParamNumber(x)));
  return values;
}

MemberResult RunMember(const EnsemblePlan& plan, const EnsembleSite& site,
                       const std::vector<double>& parameters) {
  MemberResult result;
  result.values.assign(site.times.size() * site.variables.size(),
                       std::numeric_limits<double>::quiet_NaN());
  RunInputs in = site.base;
  for (std::size_t j = 0; j < parameters.size(); ++j)
    in.params[plan.parameters[j].index].value = parameters[j];
  OutputCollector collector(plan, site, result);
  try {
    const int firstCell = in.cellNumber;
    const auto outcomes = RunCellChain(in, plan.cells, [&](int cell) -> RunSink& {
      collector.SetCell(cell - firstCell);
      return collector;
    });
    if (outcomes.back().failure) {
      result.failed = true;
      result.error = outcomes.back().failureMessage;
    }
  } catch (const std::exception& e) {
    result.failed = true;
    result.error = e.what();
  }
  return result;
}

}  // namespace kvsorv::ensemble
