#include "calibration_window/calibration_plan_text.h"

#include "ensemble_window/plan_text_parts.h"

#include <charconv>
#include <filesystem>
#include <map>
#include <set>

#include "ensemble/output_times.h"

namespace kvsorv::calibration {

using ensemble::PathFromPlan;
using ensemble::TomlList;
using ensemble::TomlNumber;
using ensemble::TomlQuoted;

namespace {

void DistributionLines(const ensemble::PlanRow& row, std::string& t) {
  t += "distribution = " + TomlQuoted(row.distribution) + "\n";
  const std::vector<std::string>& names = ensemble::ArgumentNames(row.distribution);
  for (std::size_t a = 0; a < names.size() && a < row.arguments.size(); ++a)
    t += names[a] + " = " + row.arguments[a] + "\n";
}

}  // namespace

EditedCalibration EditedOf(const CalibrationPlan& plan) {
  EditedCalibration e;
  e.site = plan.site;
  // The reader joined each observation's time to its output's: what is left of an output
  // without them is what the plan's own [[output]] kept (every line, or other times).
  std::map<std::string, std::set<double>> observedTimes;
  const std::vector<double> lines = ensemble::OutputTimes(plan.site.times);
  for (const Observation& o : plan.observations) observedTimes[o.row.symbol].insert(lines[o.line]);
  for (ensemble::OutputSpec& o : e.site.outputs) {
    const auto observed = observedTimes.find(o.symbol);
    if (observed == observedTimes.end() || o.everyLine) continue;
    std::erase_if(o.times, [&](double t) { return observed->second.contains(t); });
  }
  std::erase_if(e.site.outputs,
                [](const ensemble::OutputSpec& o) { return !o.everyLine && o.times.empty(); });
  for (std::size_t j = 0; j < plan.site.parameters.size(); ++j) {
    e.rows.push_back(ensemble::RowOf(plan.site.parameters[j]));
    if (plan.startGiven[j]) e.starts[plan.site.parameters[j].symbol] = plan.starts[j];
  }
  std::map<std::string, ErrorModel> models;
  for (const Observation& o : plan.observations) models[o.file] = o.model;
  for (const std::string& f : plan.observationFiles)
    e.observations.push_back({.file = f, .model = models[f]});
  e.errorScale = plan.errorScale;
  e.sampler = plan.sampler;
  return e;
}

std::string CalibrationPlanText(const EditedCalibration& plan, const std::string& fileName) {
  const ensemble::EnsemblePlan& s = plan.site;
  std::string t;
  const auto line = [&](const std::string& text) { t += text + "\n"; };
  line("params = " + TomlQuoted(PathFromPlan(s.paramFile, fileName)));
  line("drivers = " + TomlQuoted(PathFromPlan(s.driverFile, fileName)));
  line("cells = " + std::to_string(s.cells));
  line("start = " + TomlNumber(s.times.start));
  line("stop = " + TomlNumber(s.times.stop));
  line("step = " + TomlNumber(s.times.step));
  line("output_step = " + TomlNumber(s.times.outputStep));
  line("seed = " + std::to_string(s.seed));
  for (std::size_t r = 0; r < plan.rows.size(); ++r) {
    const std::string problem = ensemble::RowProblem(plan.rows, r);
    if (!problem.empty()) throw ensemble::EPlanError(problem);
    const ensemble::PlanRow& row = plan.rows[r];
    line("");
    line("[[parameter]]");
    line("symbol = " + TomlQuoted(row.symbol));
    DistributionLines(row, t);
    if (const auto start = plan.starts.find(row.symbol); start != plan.starts.end())
      line("start = " + TomlNumber(start->second));
  }
  for (const ensemble::OutputSpec& o : s.outputs) {
    line("");
    line("[[output]]");
    line("symbol = " + TomlQuoted(o.symbol));
    if (!o.times.empty()) line("times = " + TomlList(o.times));
    if (o.everyLine) line("yearly = true");
  }
  for (const ObservationFile& o : plan.observations) {
    line("");
    line("[[observations]]");
    line("file = " + TomlQuoted(PathFromPlan(o.file, fileName)));
    line(std::string("error = ") +
         (o.model == ErrorModel::kLogNormal ? "\"lognormal\"" : "\"gaussian\""));
  }
  if (plan.errorScale) {
    line("");
    line("[error_scale]");
    DistributionLines(
        ensemble::RowOf({.symbol = kErrorScaleName, .distribution = *plan.errorScale}), t);
  }
  const SamplerSettings& m = plan.sampler;
  line("");
  line("[sampler]");
  line("chains = " + std::to_string(m.chains));
  line("generations = " + std::to_string(m.generations));
  line("burn_in = " + std::to_string(m.burnIn));
  line("thinning = " + std::to_string(m.thinning));
  line("archive_every = " + std::to_string(m.archiveEvery));
  line("adapt_after = " + std::to_string(m.adaptAfter));
  return t;
}

}  // namespace kvsorv::calibration
