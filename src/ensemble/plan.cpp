#include "ensemble/plan.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <toml.hpp>

#include "ensemble/output_times.h"
#include "ensemble/plan_bytes.h"
#include "ensemble/plan_reader.h"
#include "ensemble/posterior_draws.h"
#include "ensemble/rank_correlation.h"
#include "ensemble/table_file.h"
#include "model/catalogue.h"

namespace kvsorv::ensemble {

std::uint64_t Fingerprint(std::string_view bytes) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ULL;
  }
  return h;
}

namespace {

// The members, the seed and the designs' own settings.
void ReadDesignSettings(const PlanReader& r, const toml::value& data, EnsemblePlan& plan) {
  plan.members = r.WholeNumber(data, "members", 0, 1, 100000000);
  const double seed = r.Number(data, "seed", "seed");
  if (seed < 0 || seed != std::floor(seed) || seed > 9.0e15)
    r.Fail("seed", "must be a whole number of at least 0");
  plan.seed = static_cast<std::uint64_t>(seed);
  plan.oatStep = r.NumberOr(data, "oat_step", plan.oatStep, "oat_step");
  if (!(plan.oatStep > 0 && plan.oatStep < 1)) r.Fail("oat_step", "must lie between 0 and 1");
  plan.morrisLevels = r.WholeNumber(data, "morris_levels", plan.morrisLevels, 2, 100);
}

void ReadCorrelations(const PlanReader& r, const toml::array& correlations,
                      std::map<std::string, int>& position, EnsemblePlan& plan) {
  if (correlations.empty()) return;
  std::set<std::pair<int, int>> pairs;  // positions, the lower first
  for (const toml::value& c : correlations) {
    const std::string a = r.Text(c, "a", "correlation"), b = r.Text(c, "b", "correlation");
    const std::string entry = "correlation of '" + a + "' and '" + b + "'";
    r.OnlyKeys(c, entry, "a key of a correlation", {"a", "b", "rank"});
    if (position.count(a) == 0 || position.count(b) == 0 || a == b)
      r.Fail(entry, "a and b must be two different varied parameters");
    if (static_cast<std::size_t>(std::min(position[a], position[b])) < plan.posteriorColumns)
      r.Fail(entry, "a parameter drawn from the posterior keeps its correlations from it");
    const double rho = r.Number(c, "rank", entry);
    if (!(rho > -1 && rho < 1)) r.Fail(entry, "rank must lie between -1 and 1");
    if (!pairs.insert(std::minmax(position[a], position[b])).second) r.Fail(entry, "given twice");
    plan.correlations.push_back({position[a], position[b], rho});
  }
  // The matrix the design is built from must be positive definite.
  if (!CholeskyFactor(NormalScoreCorrelation(CorrelationMatrix(plan))))
    r.Fail("correlation", "the rank correlations form a matrix that is not positive definite");
}

// The parameters of a calibration's posterior, drawn jointly: each model parameter among the
// sampled quantities (an estimated error scale is none).
void ReadPosterior(const PlanReader& r, const toml::value& data,
                   const std::filesystem::path& directory, EnsemblePlan& plan) {
  plan.posteriorFile = Resolve(directory, r.Text(data, "posterior", "posterior"));
  PosteriorDraws draws;
  try {
    draws = ReadPosteriorDraws(plan.posteriorFile);
  } catch (const std::runtime_error& e) {
    r.Fail("posterior", e.what());
  }
  std::vector<std::size_t> kept;
  for (std::size_t j = 0; j < draws.names.size(); ++j) {
    if (draws.names[j] == "error_scale") continue;
    const int index = ParamIndex(draws.names[j]);
    if (index == 0)
      r.Fail("posterior",
             "'" + draws.names[j] + "' of " + plan.posteriorFile + " is no parameter of the model");
    kept.push_back(j);
    std::vector<double> column;
    for (const auto& row : draws.rows) column.push_back(row[j]);
    plan.parameters.push_back(
        {.symbol = draws.names[j], .index = index, .distribution = Table::Of(std::move(column))});
  }
  for (const auto& row : draws.rows) {
    std::vector<double> values;
    for (const std::size_t j : kept) values.push_back(row[j]);
    plan.posteriorRows.push_back(std::move(values));
  }
  plan.posteriorColumns = kept.size();
  plan.tableFiles.push_back(plan.posteriorFile);
  if (static_cast<std::size_t>(plan.members) > plan.posteriorRows.size())
    r.Fail("members",
           std::to_string(plan.members) + " members, but " + plan.posteriorFile + " holds " +
               std::to_string(plan.posteriorRows.size()) +
               " draws after its burn-in and thinning; a member takes a draw of its own");
}

}  // namespace

EnsemblePlan ReadPlan(const std::string& fileName) {
  const PlanReader r(fileName);
  const std::string bytes = ReadPlanBytes(fileName);
  const toml::value data = ParsePlan(fileName, bytes);
  r.OnlyKeys(
      data, "", "a key of a plan",
      {"params", "drivers", "cells", "start", "stop", "step", "output_step", "members", "seed",
       "oat_step", "morris_levels", "parameter", "correlation", "output", "posterior"});
  EnsemblePlan plan;
  plan.file = fileName;
  plan.hash = Fingerprint(bytes);
  const std::filesystem::path directory = plan.file.parent_path();
  ReadSite(r, data, directory, plan);
  plan.times = ReadRunTimes(r, data);
  ReadDesignSettings(r, data, plan);

  const toml::array& parameters = r.Tables(data, "parameter");
  const toml::array& correlations = r.Tables(data, "correlation");
  const toml::array& outputs = r.Tables(data, "output");
  if (data.contains("posterior")) ReadPosterior(r, data, directory, plan);
  if (parameters.empty() && plan.posteriorFile.empty())
    r.Fail("parameter", "at least one [[parameter]] (or a 'posterior' to draw from) is needed");
  CheckCount(r, parameters, "parameter", kMostPlanParameters, "vary");
  CheckCount(r, outputs, "output", kMostPlanOutputs, "keep");
  CheckCount(r, correlations, "correlation", kMostPlanCorrelations, "give");
  std::map<std::string, int> position = ReadParameters(r, parameters, directory, plan);
  ReadCorrelations(r, correlations, position, plan);
  ReadOutputs(r, outputs, plan);
  return plan;
}

}  // namespace kvsorv::ensemble

namespace kvsorv::ensemble {

void RequireOutputs(const EnsemblePlan& plan) {
  if (plan.outputs.empty())
    throw EPlanError(plan.file.string() +
                     ": output: the plan keeps no output; give at least one [[output]] with "
                     "'times = [...]' or 'yearly = true'");
}

}  // namespace kvsorv::ensemble
