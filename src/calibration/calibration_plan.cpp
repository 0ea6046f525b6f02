#include "calibration/calibration_plan.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "calibration/prior.h"
#include "ensemble/output_times.h"
#include "ensemble/plan_bytes.h"
#include "ensemble/plan_reader.h"
#include "files/param_file.h"
#include "tasks/worker_pool.h"

namespace kvsorv::calibration {

using ensemble::EPlanError;
using ensemble::PlanReader;

namespace {

std::string FileBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every calibrated parameter's start: the plan's 'start', else the parameter file's value;
// either must lie where its prior has a density.
void ReadStarts(const PlanReader& r, const toml::array& parameters, CalibrationPlan& plan) {
  const ModelCatalogue& catalogue = Catalogue();
  paramarray params = catalogue.params;
  statearray states = catalogue.states;
  double residual = 0;
  const ensemble::EnsemblePlan& site = plan.site;
  if (!ReadParamValues(site.paramFile, catalogue.def.numparam, params, catalogue.def.numstate,
                       states, residual))
    r.Fail("params", "'" + site.paramFile + "' is not a parameter file of this model");
  for (std::size_t j = 0; j < site.parameters.size(); ++j) {
    const ensemble::VariedParameter& p = site.parameters[j];
    const std::string entry = "parameter '" + p.symbol + "'";
    if (const std::string why = PriorImpossibility(p.distribution); !why.empty())
      r.Fail(entry, why);
    const bool given = parameters[j].contains("start");
    const double start = given ? r.Number(parameters[j], "start", entry) : params[p.index].value;
    if (!std::isfinite(LogPriorDensity(p.distribution, start)))
      r.Fail(entry, (given ? "its start " : "its value in the parameter file, ") +
                        ensemble::PlanNumberText(start) + (given ? "," : "") +
                        " lies where its prior has no density" +
                        (given ? "" : "; give a 'start' within the prior"));
    plan.starts.push_back(start);
    plan.startGiven.push_back(given);
  }
}

ErrorModel ReadErrorModel(const PlanReader& r, const toml::value& o, const std::string& entry) {
  if (!o.contains("error")) return ErrorModel::kGaussian;
  const std::string model = r.Text(o, "error", entry);
  if (model == "gaussian") return ErrorModel::kGaussian;
  if (model == "lognormal") return ErrorModel::kLogNormal;
  r.Fail(entry, "unknown error model '" + model + "' (gaussian or lognormal)");
}

// The observation's standard deviation in the terms of its error model.
double ErrorOf(const Observation& o) {
  const double relative =
      o.row.relativeError ? *o.row.relativeError : *o.row.sd / std::fabs(o.row.value);
  if (o.model == ErrorModel::kLogNormal) return std::sqrt(std::log1p(relative * relative));
  return o.row.sd ? *o.row.sd : relative * std::fabs(o.row.value);
}

// Reads the observation files; each observation is matched to the run's output line at its
// time, and its output joins the plan's outputs.
void ReadObservations(const PlanReader& r, const toml::array& files,
                      const std::filesystem::path& directory, CalibrationPlan& plan) {
  const std::vector<double> lines = ensemble::OutputTimes(plan.site.times);
  std::map<std::string, std::size_t> outputOf;  // symbol -> position among the outputs
  for (std::size_t i = 0; i < plan.site.outputs.size(); ++i)
    outputOf[plan.site.outputs[i].symbol] = i;
  std::size_t count = 0;
  for (const toml::value& f : files) {
    const std::string entry = "observations " + std::to_string(plan.observationFiles.size() + 1);
    r.OnlyKeys(f, entry, "a key of [[observations]]", {"file", "error"});
    const std::string file = ensemble::Resolve(directory, r.Text(f, "file", entry));
    const ErrorModel model = ReadErrorModel(r, f, entry);
    plan.observationFiles.push_back(file);
    for (ObservationRow& row : ReadObservationTable(file)) {
      const std::string where = file + ", line " + std::to_string(row.line) + ": ";
      if (++count > kMostObservations)
        throw EObservationError(where + "more than " + std::to_string(kMostObservations) +
                                " observations in the plan's files");
      const std::optional<std::size_t> line =
          ensemble::LineAt(lines, row.time, plan.site.times.outputStep);
      if (!line)
        throw EObservationError(
            where + "the run writes no output line at " + ensemble::PlanNumberText(row.time) +
            " (the nearest: " + ensemble::NearestLinesText(lines, row.time) + ")");
      if (model == ErrorModel::kLogNormal && !(row.value > 0))
        throw EObservationError(where + "a log-normal error needs a value greater than 0");
      if (row.cell && plan.site.cells == 1 && *row.cell != 1)
        throw EObservationError(where + "the plan runs one cell; leave 'cell' empty or 1");
      Observation o{.row = row, .file = file, .model = model, .line = *line};
      auto [known, added] = outputOf.try_emplace(row.symbol, plan.site.outputs.size());
      if (added) {
        ensemble::OutputSpec spec{.symbol = row.symbol, .kind = row.kind, .index = row.index};
        plan.site.outputs.push_back(spec);
      }
      ensemble::OutputSpec& spec = plan.site.outputs[known->second];
      if (!spec.everyLine) spec.times.push_back(lines[*line]);
      o.output = known->second;
      o.sd = ErrorOf(o);
      plan.observations.push_back(std::move(o));
    }
  }
  if (plan.observations.empty())
    r.Fail("observations", "at least one [[observations]] file is needed");
  // An output keeps each of its times once.
  for (ensemble::OutputSpec& spec : plan.site.outputs) {
    std::sort(spec.times.begin(), spec.times.end());
    spec.times.erase(std::unique(spec.times.begin(), spec.times.end()), spec.times.end());
  }
}

SamplerSettings ReadSampler(const PlanReader& r, const toml::value& data) {
  SamplerSettings s;
  s.chains = DefaultChains();
  if (!data.contains("sampler")) {
    s.burnIn = s.generations / 2;
    return s;
  }
  const toml::value& t = data.at("sampler");
  if (!t.is_table()) r.Fail("sampler", "must be a [sampler] table");
  r.OnlyKeys(t, "sampler", "a key of [sampler]",
             {"chains", "generations", "burn_in", "thinning", "archive_every", "adapt_after"});
  s.chains = r.WholeNumber(t, "chains", s.chains, 3, 10000);
  s.generations = r.WholeNumber(t, "generations", s.generations, 1, 100000000);
  s.burnIn = r.WholeNumber(t, "burn_in", s.generations / 2, 0, 100000000);
  s.thinning = r.WholeNumber(t, "thinning", 1, 1, 1000000);
  s.archiveEvery = r.WholeNumber(t, "archive_every", s.archiveEvery, 1, 1000000);
  s.adaptAfter = r.WholeNumber(t, "adapt_after", s.adaptAfter, 1, 100000000);
  return s;
}

}  // namespace

int DefaultChains() {
  return std::max(4, static_cast<int>(tasks::HardwareThreads()));
}

CalibrationPlan ReadCalibrationPlan(const std::string& fileName) {
  const PlanReader r(fileName);
  const std::string bytes = ensemble::ReadPlanBytes(fileName);
  const toml::value data = ensemble::ParsePlan(fileName, bytes);
  r.OnlyKeys(data, "", "a key of a calibration plan",
             {"params", "drivers", "cells", "start", "stop", "step", "output_step", "seed",
              "parameter", "output", "observations", "error_scale", "sampler"});
  CalibrationPlan plan;
  ensemble::EnsemblePlan& site = plan.site;
  site.file = fileName;
  const std::filesystem::path directory = site.file.parent_path();
  ensemble::ReadSite(r, data, directory, site);
  site.times = ensemble::ReadRunTimes(r, data);
  const double seed = r.Number(data, "seed", "seed");
  if (seed < 0 || seed != std::floor(seed) || seed > 9.0e15)
    r.Fail("seed", "must be a whole number of at least 0");
  site.seed = static_cast<std::uint64_t>(seed);

  const toml::array& parameters = r.Tables(data, "parameter");
  if (parameters.empty()) r.Fail("parameter", "at least one [[parameter]] to calibrate is needed");
  ensemble::CheckCount(r, parameters, "parameter", ensemble::kMostPlanParameters, "calibrate");
  ensemble::ReadParameters(r, parameters, directory, site, {"start"});
  ReadStarts(r, parameters, plan);
  const toml::array& outputs = r.Tables(data, "output");
  ensemble::CheckCount(r, outputs, "output", ensemble::kMostPlanOutputs, "keep");
  ensemble::ReadOutputs(r, outputs, site);
  ReadObservations(r, r.Tables(data, "observations"), directory, plan);
  if (data.contains("error_scale")) {
    const toml::value& e = data.at("error_scale");
    if (!e.is_table()) r.Fail("error_scale", "must be an [error_scale] table with a distribution");
    plan.errorScale = r.ReadDistribution(e, "error_scale", directory);
    if (const std::string why = PriorImpossibility(*plan.errorScale); !why.empty())
      r.Fail("error_scale", why);
    if (!(ensemble::Quantile(*plan.errorScale, ensemble::kLowestProbability) > 0))
      r.Fail("error_scale", "its prior must lie above 0 (a scale of the errors)");
  }
  plan.sampler = ReadSampler(r, data);
  if (plan.sampler.burnIn >= plan.sampler.generations)
    r.Fail("sampler", "burn_in (" + std::to_string(plan.sampler.burnIn) +
                          ") must be less than generations (" +
                          std::to_string(plan.sampler.generations) + ")");
  site.members = plan.sampler.chains;

  std::string fingerprinted = bytes;
  for (const std::string& f : plan.observationFiles) fingerprinted += FileBytes(f);
  plan.hash = ensemble::Fingerprint(fingerprinted);
  site.hash = plan.hash;
  return plan;
}

std::vector<std::string> SampledNames(const CalibrationPlan& plan) {
  std::vector<std::string> names;
  for (const ensemble::VariedParameter& p : plan.site.parameters) names.push_back(p.symbol);
  if (plan.errorScale) names.emplace_back(kErrorScaleName);
  return names;
}

std::vector<ensemble::Distribution> SampledPriors(const CalibrationPlan& plan) {
  std::vector<ensemble::Distribution> priors;
  for (const ensemble::VariedParameter& p : plan.site.parameters) priors.push_back(p.distribution);
  if (plan.errorScale) priors.push_back(*plan.errorScale);
  return priors;
}

}  // namespace kvsorv::calibration
