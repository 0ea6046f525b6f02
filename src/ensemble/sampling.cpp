#include "ensemble/sampling.h"

#include <algorithm>
#include <boost/random/sobol.hpp>
#include <cmath>
#include <numeric>

#include "ensemble/posterior_draws.h"
#include "ensemble/seeded_random.h"

namespace kvsorv::ensemble {

namespace {

constexpr std::string_view kNames[] = {"mc", "lhs", "sobol", "morris", "oat"};

double Inside(double u) {
  return std::clamp(u, kLowestProbability, 1.0 - kLowestProbability);
}

Matrix ToValues(const EnsemblePlan& plan, const Matrix& unit) {
  Matrix rows(unit.size(), std::vector<double>(plan.parameters.size()));
  for (std::size_t i = 0; i < unit.size(); ++i)
    for (std::size_t j = 0; j < plan.parameters.size(); ++j)
      rows[i][j] = Quantile(plan.parameters[j].distribution, Inside(unit[i][j]));
  return rows;
}

Matrix MonteCarlo(const EnsemblePlan& plan, std::size_t k) {
  Matrix unit(static_cast<std::size_t>(plan.members), std::vector<double>(k));
  for (std::size_t i = 0; i < unit.size(); ++i) {
    SeededEngine g = StreamEngine(plan.seed, 1, i);
    for (double& u : unit[i]) u = Uniform01(g);
  }
  return unit;
}

Matrix LatinHypercube(const EnsemblePlan& plan, std::size_t k) {
  const auto n = static_cast<std::size_t>(plan.members);
  Matrix unit(n, std::vector<double>(k));
  for (std::size_t j = 0; j < k; ++j) {
    SeededEngine g = StreamEngine(plan.seed, 2, j);
    std::vector<std::size_t> strata(n);
    std::iota(strata.begin(), strata.end(), 0);
    Shuffle(strata, g);
    for (std::size_t i = 0; i < n; ++i)
      unit[i][j] = (static_cast<double>(strata[i]) + Uniform01(g)) / static_cast<double>(n);
  }
  return unit;
}

}  // namespace

Matrix SobolCrossSampleUnit(std::size_t k, int basePoints) {
  boost::random::sobol sequence(2 * k);
  sequence.discard(2 * k);
  Matrix unit;
  std::vector<double> point(2 * k);
  for (int s = 0; s < basePoints; ++s) {
    for (double& x : point) x = static_cast<double>(sequence()) * 0x1.0p-64;
    const std::vector<double> a(point.begin(), point.begin() + static_cast<std::ptrdiff_t>(k));
    const std::vector<double> b(point.begin() + static_cast<std::ptrdiff_t>(k), point.end());
    unit.push_back(a);
    for (std::size_t j = 0; j < k; ++j) {
      std::vector<double> ab = a;
      ab[j] = b[j];
      unit.push_back(ab);
    }
    unit.push_back(b);
  }
  return unit;
}

namespace {

// Trajectories on the grid of p levels 0, 1/(p-1), .., 1, each moving one parameter at a time
// by delta = p / (2 (p - 1)); a level g stands for the probability (g (p - 1) + 0.5) / p.
Matrix MorrisTrajectories(const EnsemblePlan& plan, std::size_t k) {
  const int p = plan.morrisLevels;
  const int jump = p / 2;  // delta in grid steps
  Matrix unit;
  for (int t = 0; t < plan.members; ++t) {
    SeededEngine g = StreamEngine(plan.seed, 4, static_cast<std::uint64_t>(t));
    std::vector<int> level(k);
    for (int& l : level) l = static_cast<int>(UniformIndex(g, static_cast<std::uint64_t>(p)));
    std::vector<std::size_t> order(k);
    std::iota(order.begin(), order.end(), 0);
    Shuffle(order, g);
    const auto emit = [&] {
      std::vector<double> row(k);
      for (std::size_t j = 0; j < k; ++j) row[j] = (level[j] + 0.5) / p;
      unit.push_back(row);
    };
    emit();
    for (const std::size_t j : order) {
      level[j] += level[j] + jump <= p - 1 ? jump : -jump;
      emit();
    }
  }
  return unit;
}

Matrix OneAtATime(const EnsemblePlan& plan) {
  const std::size_t k = plan.parameters.size();
  std::vector<double> centre(k);
  for (std::size_t j = 0; j < k; ++j) centre[j] = Median(plan.parameters[j].distribution);
  Matrix rows{centre};
  for (std::size_t j = 0; j < k; ++j) {
    const double h = plan.oatStep;
    for (const double factor : {1.0 - h, 1.0 + h, 1.0 - h / 2, 1.0 + h / 2}) {
      std::vector<double> row = centre;
      row[j] = centre[j] * factor;
      rows.push_back(row);
    }
  }
  return rows;
}

}  // namespace

std::optional<Method> MethodNamed(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kNames); ++i)
    if (kNames[i] == name) return static_cast<Method>(i);
  return std::nullopt;
}

const char* MethodName(Method method) {
  return kNames[static_cast<std::size_t>(method)].data();
}

std::size_t DesignSize(Method method, int members, std::size_t k) {
  const auto n = static_cast<std::size_t>(std::max(members, 0));
  switch (method) {
    case Method::kSobol:
      return n * (k + 2);
    case Method::kMorris:
      return n * (k + 1);
    case Method::kOneAtATime:
      return 1 + 4 * k;
    default:
      return n;
  }
}

Design SampleDesign(const EnsemblePlan& plan, Method method) {
  Design d;
  d.method = method;
  for (const VariedParameter& v : plan.parameters) d.symbols.push_back(v.symbol);
  const std::size_t k = plan.parameters.size();
  if (!plan.posteriorFile.empty() && method != Method::kMonteCarlo)
    throw EPlanError(plan.file.string() +
                     ": posterior: a plan that draws from a posterior takes "
                     "the Monte Carlo design (mc), not " +
                     MethodName(method));
  switch (method) {
    case Method::kMonteCarlo:
    case Method::kLatinHypercube: {
      Matrix unit = method == Method::kMonteCarlo ? MonteCarlo(plan, k) : LatinHypercube(plan, k);
      if (!plan.correlations.empty())
        ImposeRankCorrelation(unit, CorrelationMatrix(plan), plan.seed);
      d.rows = ToValues(plan, unit);
      break;
    }
    case Method::kSobol:
      d.rows = ToValues(plan, SobolCrossSampleUnit(k, plan.members));
      break;
    case Method::kMorris:
      d.rows = ToValues(plan, MorrisTrajectories(plan, k));
      break;
    case Method::kOneAtATime:
      d.rows = OneAtATime(plan);
      break;
  }
  // The posterior's parameters take whole draws of it, member by member.
  if (!plan.posteriorFile.empty()) {
    const std::vector<std::size_t> choice =
        PosteriorChoice(d.rows.size(), plan.posteriorRows.size(), plan.seed);
    for (std::size_t i = 0; i < d.rows.size(); ++i)
      std::copy(plan.posteriorRows[choice[i]].begin(), plan.posteriorRows[choice[i]].end(),
                d.rows[i].begin());
  }
  // Finite distributions still give values beyond the largest double where a method moves
  // them further (a one-at-a-time step from a value near it).
  for (const auto& row : d.rows)
    for (std::size_t j = 0; j < row.size(); ++j)
      if (!std::isfinite(row[j]))
        throw EPlanError(plan.file.string() + ": parameter '" + plan.parameters[j].symbol +
                         "': the " + MethodName(method) +
                         " design would give it a value that is not a finite number");
  return d;
}

}  // namespace kvsorv::ensemble
