#include "charts/calibration_charts.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "analysis/cell_text.h"
#include "calibration/prior.h"
#include "charts/chart_csv.h"
#include "model/catalogue.h"
#include "statistics/quantiles.h"
#include "tasks/worker_pool.h"

namespace kvsorv {

namespace {

using calibration::ChainsContents;

// The generations after the burn-in, thinned.
std::vector<std::size_t> KeptGenerations(const ChainsContents& c) {
  std::vector<std::size_t> kept;
  const auto thinning = static_cast<std::size_t>(std::max(1, c.header.sampler.thinning));
  for (auto g = static_cast<std::size_t>(c.header.sampler.burnIn); g < c.generations; g += thinning)
    kept.push_back(g);
  if (kept.empty())
    throw std::invalid_argument("no generation is past the burn-in of " +
                                std::to_string(c.header.sampler.burnIn) + " yet (" +
                                std::to_string(c.generations) + " generations)");
  return kept;
}

// Every posterior draw of a quantity.
std::vector<double> Posterior(const ChainsContents& c, std::size_t j) {
  std::vector<double> values;
  for (const std::size_t g : KeptGenerations(c))
    for (std::size_t k = 0; k < static_cast<std::size_t>(c.header.chains); ++k)
      values.push_back(c.Draw(g, k, j));
  return values;
}

std::string UnitsText(const std::string& name) {
  const std::string units = UnitsOfSymbol(name);
  return units.empty() ? name : name + " (" + units + ")";
}

using analysis::CellText;

}  // namespace

std::size_t QuantityIndex(const ChainsContents& chains, const std::string& name) {
  const auto& names = chains.header.names;
  const auto at = std::find(names.begin(), names.end(), name);
  if (at != names.end()) return static_cast<std::size_t>(at - names.begin());
  std::string held;
  for (const std::string& n : names) held += (held.empty() ? "" : ", ") + n;
  throw std::invalid_argument("'" + name + "' is not sampled in the chains file; it holds " + held);
}

TraceChartData TraceChart(const ChainsContents& c, std::size_t j) {
  TraceChartData d;
  d.titles = {
      .chart = "Trace of " + c.header.names[j] + ", " + std::to_string(c.header.chains) + " chains",
      .x = "generation",
      .y = UnitsText(c.header.names[j])};
  d.burnIn = c.header.sampler.burnIn;
  const std::size_t every =
      std::max<std::size_t>(1, (c.generations + kMostTracePoints - 1) / kMostTracePoints);
  d.chains.resize(static_cast<std::size_t>(c.header.chains));
  for (std::size_t g = 0; g < c.generations; g += every) {
    d.generations.push_back(static_cast<double>(g + 1));
    for (std::size_t k = 0; k < d.chains.size(); ++k) d.chains[k].push_back(c.Draw(g, k, j));
  }
  return d;
}

MarginalChartData MarginalChart(const ChainsContents& c, std::size_t j,
                                const ensemble::Distribution& prior) {
  std::vector<double> draws = Posterior(c, j);
  MarginalChartData d;
  d.draws = draws.size();
  d.titles = {.chart = "Marginal posterior of " + c.header.names[j] + " (" +
                       std::to_string(d.draws) + " draws) and its prior",
              .x = UnitsText(c.header.names[j]),
              .y = "density"};
  // A Gaussian kernel of Silverman's bandwidth, on a grid across the draws and the prior's bulk.
  double mean = 0;
  for (const double x : draws) mean += x;
  mean /= static_cast<double>(draws.size());
  double var = 0;
  for (const double x : draws) var += (x - mean) * (x - mean);
  const double sd = std::sqrt(var / std::max<double>(1, static_cast<double>(draws.size()) - 1));
  std::vector<double> sorted = draws;
  const double levels[] = {0.25, 0.75};
  double iqr[2];
  statistics::Quantiles(sorted, levels, iqr);
  const double spread = std::min(sd, (iqr[1] - iqr[0]) / 1.34);
  const double h = 1.06 * (spread > 0 ? spread : (sd > 0 ? sd : 1.0)) *
                   std::pow(static_cast<double>(draws.size()), -0.2);
  const auto [lowest, highest] = std::minmax_element(draws.begin(), draws.end());
  const double low = std::min(*lowest - 3 * h, ensemble::Quantile(prior, 0.005));
  const double high = std::max(*highest + 3 * h, ensemble::Quantile(prior, 0.995));
  // Kernel sums over at most 20000 draws, evenly taken.
  const std::size_t every = std::max<std::size_t>(1, draws.size() / 20000);
  constexpr int kGrid = 200;
  const double norm = 1.0 / (h * std::sqrt(2 * std::numbers::pi));
  for (int i = 0; i < kGrid; ++i) {
    const double x = low + (high - low) * i / (kGrid - 1);
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t k = 0; k < draws.size(); k += every, ++n) {
      const double z = (x - draws[k]) / h;
      sum += std::exp(-0.5 * z * z);
    }
    d.x.push_back(x);
    d.posterior.push_back(norm * sum / static_cast<double>(n));
    d.prior.push_back(std::exp(calibration::LogPriorDensity(prior, x)));
  }
  return d;
}

PairsChartData PairsChart(const ChainsContents& c, std::size_t i, std::size_t j) {
  const std::vector<double> x = Posterior(c, i), y = Posterior(c, j);
  PairsChartData d;
  double mx = 0, my = 0;
  for (std::size_t k = 0; k < x.size(); ++k) mx += x[k], my += y[k];
  mx /= static_cast<double>(x.size());
  my /= static_cast<double>(y.size());
  double sxy = 0, sxx = 0, syy = 0;
  for (std::size_t k = 0; k < x.size(); ++k) {
    sxy += (x[k] - mx) * (y[k] - my);
    sxx += (x[k] - mx) * (x[k] - mx);
    syy += (y[k] - my) * (y[k] - my);
  }
  d.correlation = sxx > 0 && syy > 0 ? sxy / std::sqrt(sxx * syy) : NAN;
  char r[32];
  std::snprintf(r, sizeof r, "%.2f", d.correlation);
  d.titles = {.chart = c.header.names[j] + " against " + c.header.names[i] + " (r = " + r + ")",
              .x = UnitsText(c.header.names[i]),
              .y = UnitsText(c.header.names[j])};
  const std::size_t every =
      std::max<std::size_t>(1, (x.size() + kMostScatterPoints - 1) / kMostScatterPoints);
  for (std::size_t k = 0; k < x.size(); k += every) {
    d.x.push_back(x[k]);
    d.y.push_back(y[k]);
  }
  return d;
}

EnvelopeChartData FitChart(const calibration::CalibrationModel& model, const ChainsContents& c,
                           const std::string& output, std::size_t draws, std::size_t threads) {
  using namespace calibration;
  CalibrationPlan plan = model.Plan();
  std::size_t position = plan.site.outputs.size();
  for (std::size_t i = 0; i < plan.site.outputs.size(); ++i)
    if (plan.site.outputs[i].symbol == output) position = i;
  const auto observed = std::find_if(plan.observations.begin(), plan.observations.end(),
                                     [&](const Observation& o) { return o.row.symbol == output; });
  if (observed == plan.observations.end() || position == plan.site.outputs.size()) {
    std::string held;
    for (const Observation& o : plan.observations)
      if (held.find(o.row.symbol) == std::string::npos)
        held += (held.empty() ? "" : ", ") + o.row.symbol;
    throw std::invalid_argument("'" + output + "' is not observed in the plan; it observes " +
                                held);
  }
  plan.site.outputs[position].everyLine = true;
  plan.site.outputs[position].times.clear();
  const CalibrationModel every(plan);

  // Draws evenly spaced over the posterior.
  const std::vector<std::size_t> kept = KeptGenerations(c);
  const std::size_t chains = static_cast<std::size_t>(c.header.chains);
  const std::size_t total = kept.size() * chains;
  draws = std::min(draws, total);
  std::vector<std::vector<double>> runs(draws);
  tasks::ParallelFor(draws, threads, [&](std::size_t i) {
    const std::size_t at = i * total / draws;
    std::vector<double> x;
    for (std::size_t j = 0; j < c.Dimension(); ++j)
      x.push_back(c.Draw(kept[at / chains], at % chains, j));
    const ensemble::MemberResult run = every.Run(x);
    if (run.failed) return;
    const std::size_t columns = every.Site().variables.size();
    for (std::size_t t = 0; t < every.Site().times.size(); ++t)
      runs[i].push_back(run.values[t * columns + position]);
  });
  std::erase_if(runs, [](const std::vector<double>& r) { return r.empty(); });

  EnvelopeChartData d;
  d.members = static_cast<int>(runs.size());
  d.designMembers = static_cast<int>(draws);
  d.titles = {.chart = "Fit of " + output +
                       ": observations over the posterior predictive envelope (" +
                       std::to_string(runs.size()) + " draws)",
              .x = "year",
              .y = UnitsText(output)};
  const double levels[] = {0.05, 0.25, 0.5, 0.75, 0.95};
  for (std::size_t t = 0; t < every.Site().times.size(); ++t) {
    std::vector<double> values;
    for (const auto& r : runs) values.push_back(r[t]);
    double q[5] = {NAN, NAN, NAN, NAN, NAN};
    double mean = NAN;
    if (!values.empty()) {
      mean = 0;
      for (const double v : values) mean += v;
      mean /= static_cast<double>(values.size());
      statistics::Quantiles(values, levels, q);
    }
    d.times.push_back(every.Site().times[t]);
    d.q05.push_back(q[0]), d.q25.push_back(q[1]), d.q50.push_back(q[2]);
    d.q75.push_back(q[3]), d.q95.push_back(q[4]), d.mean.push_back(mean);
    d.counts.push_back(static_cast<double>(values.size()));
  }
  d.observed.legend = "observed ± 1 sd";
  for (const Observation& o : plan.observations) {
    if (o.row.symbol != output) continue;
    d.observed.times.push_back(o.row.time);
    d.observed.values.push_back(o.row.value);
    if (o.model == ErrorModel::kLogNormal) {
      d.observed.low.push_back(o.row.value * std::exp(-o.sd));
      d.observed.high.push_back(o.row.value * std::exp(o.sd));
    } else {
      d.observed.low.push_back(o.row.value - o.sd);
      d.observed.high.push_back(o.row.value + o.sd);
    }
  }
  return d;
}

void WriteTraceChartCsv(const std::string& fileName, const std::vector<TraceChartData>& charts) {
  std::string text = "quantity,generation,chain,value\n";
  for (const TraceChartData& d : charts) {
    const std::string name = d.titles.y;
    for (std::size_t k = 0; k < d.chains.size(); ++k)
      for (std::size_t i = 0; i < d.generations.size(); ++i)
        text += CsvLine(
            {name, CellText(d.generations[i]), std::to_string(k + 1), CellText(d.chains[k][i])});
  }
  WriteChartCsvText(fileName, text);
}

void WriteMarginalChartCsv(const std::string& fileName,
                           const std::vector<MarginalChartData>& charts) {
  std::string text = "quantity,value,posterior_density,prior_density\n";
  for (const MarginalChartData& d : charts)
    for (std::size_t i = 0; i < d.x.size(); ++i)
      text +=
          CsvLine({d.titles.x, CellText(d.x[i]), CellText(d.posterior[i]), CellText(d.prior[i])});
  WriteChartCsvText(fileName, text);
}

void WritePairsChartCsv(const std::string& fileName, const std::vector<PairsChartData>& charts) {
  std::string text = "x_quantity,y_quantity,x,y\n";
  for (const PairsChartData& d : charts)
    for (std::size_t i = 0; i < d.x.size(); ++i)
      text += CsvLine({d.titles.x, d.titles.y, CellText(d.x[i]), CellText(d.y[i])});
  WriteChartCsvText(fileName, text);
}

void WriteFitChartCsv(const std::string& fileName, const EnvelopeChartData& data) {
  std::string text = "time,q05,q25,q50,q75,q95,mean,observed,observed_low,observed_high\n";
  for (std::size_t t = 0; t < data.times.size(); ++t)
    text += CsvLine({CellText(data.times[t]), CellText(data.q05[t]), CellText(data.q25[t]),
                     CellText(data.q50[t]), CellText(data.q75[t]), CellText(data.q95[t]),
                     CellText(data.mean[t]), "", "", ""});
  const ObservedPoints& o = data.observed;
  for (std::size_t i = 0; i < o.times.size(); ++i)
    text += CsvLine({CellText(o.times[i]), "", "", "", "", "", "", CellText(o.values[i]),
                     CellText(o.low[i]), CellText(o.high[i])});
  WriteChartCsvText(fileName, text);
}

}  // namespace kvsorv
