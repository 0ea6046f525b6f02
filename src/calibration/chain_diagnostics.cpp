#include "calibration/chain_diagnostics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "statistics/quantiles.h"

namespace kvsorv::calibration {

namespace {

std::string Format(const char* pattern, double x) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, x);
  return text;
}

QuantitySummary Summarise(const std::string& name, const std::vector<std::vector<double>>& chains) {
  QuantitySummary q{.name = name};
  std::vector<double> all;
  for (const auto& c : chains) all.insert(all.end(), c.begin(), c.end());
  double sum = 0;
  for (const double x : all) sum += x;
  q.mean = sum / static_cast<double>(all.size());
  double squares = 0;
  for (const double x : all) squares += (x - q.mean) * (x - q.mean);
  q.sd = all.size() > 1 ? std::sqrt(squares / static_cast<double>(all.size() - 1)) : 0;
  const double levels[] = {0.025, 0.5, 0.975};
  double at[3];
  statistics::Quantiles(all, levels, at);
  q.q025 = at[0], q.median = at[1], q.q975 = at[2];
  if (chains.front().size() >= 4)
    q.convergence = statistics::Diagnose(chains);
  else
    q.convergence = {.rhat = NAN, .essBulk = NAN, .essTail = NAN};
  return q;
}

void Judge(ChainsDiagnostics& d, const ChainsHeader& h, const ConvergenceLimits& limits) {
  if (d.keptGenerations < 4) {
    // Four kept generations at the least, to judge by.
    const std::size_t needed = static_cast<std::size_t>(h.sampler.burnIn) +
                               3 * static_cast<std::size_t>(h.sampler.thinning) + 1;
    d.moreGenerations = needed > d.generations ? needed - d.generations : 0;
    const std::size_t planned = std::max(static_cast<std::size_t>(h.sampler.generations),
                                         d.generations + d.moreGenerations);
    d.advice = "not converged: too few generations after the burn-in of " +
               std::to_string(h.sampler.burnIn) +
               " to judge. Continue with --resume --generations " + std::to_string(planned);
    return;
  }
  double worstRhat = 0, leastEss = INFINITY;
  for (const QuantitySummary& q : d.quantities) {
    const double rhat = std::isnan(q.convergence.rhat) ? INFINITY : q.convergence.rhat;
    worstRhat = std::max(worstRhat, rhat);
    leastEss = std::min({leastEss, std::isnan(q.convergence.essBulk) ? 0.0 : q.convergence.essBulk,
                         std::isnan(q.convergence.essTail) ? 0.0 : q.convergence.essTail});
  }
  d.converged = worstRhat < limits.rhat && leastEss > limits.ess;
  if (d.converged) return;
  const double after =
      static_cast<double>(d.generations - static_cast<std::size_t>(h.sampler.burnIn));
  // The ESS grows about in proportion to the generations kept; twice as many when R-hat says
  // the chains have not mixed yet.
  const double factor = leastEss > 0 ? std::max(limits.ess / leastEss, 1.0) : 2.0;
  const double more = std::max(factor - 1.0, worstRhat >= limits.rhat ? 1.0 : 0.0) * after;
  d.moreGenerations = static_cast<std::size_t>(std::ceil(more));
  d.advice = "not converged: ";
  if (worstRhat >= limits.rhat)
    d.advice += "the largest R-hat is " + Format("%.3f", worstRhat) + " (it must be below " +
                Format("%g", limits.rhat) + ")";
  if (leastEss <= limits.ess)
    d.advice += std::string(worstRhat >= limits.rhat ? "; " : "") + "the least ESS is " +
                Format("%.0f", leastEss) + " (it must be above " + Format("%g", limits.ess) + ")";
  d.advice +=
      ". Continue with --resume --generations " + std::to_string(d.generations + d.moreGenerations);
  if (d.failedFraction > 0.2)
    d.advice += "; a fifth or more of the runs fail: narrow the priors to where the model runs";
}

}  // namespace

ChainsDiagnostics DiagnoseChains(const ChainsContents& c, const ConvergenceLimits& limits) {
  ChainsDiagnostics d;
  const ChainsHeader& h = c.header;
  const std::size_t chains = static_cast<std::size_t>(h.chains);
  d.generations = c.generations;
  std::size_t accepted = 0, failed = 0;
  for (std::size_t i = 0; i < c.accepted.size(); ++i)
    accepted += c.accepted[i], failed += c.failed[i];
  if (!c.accepted.empty()) {
    d.acceptance = static_cast<double>(accepted) / static_cast<double>(c.accepted.size());
    d.failedFraction = static_cast<double>(failed) / static_cast<double>(c.accepted.size());
  }
  const std::size_t burnIn = static_cast<std::size_t>(h.sampler.burnIn);
  const std::size_t thinning = static_cast<std::size_t>(std::max(1, h.sampler.thinning));
  std::vector<std::size_t> kept;
  for (std::size_t g = burnIn; g < c.generations; g += thinning) kept.push_back(g);
  d.keptGenerations = kept.size();
  d.draws = kept.size() * chains;
  if (!kept.empty())
    for (std::size_t j = 0; j < c.Dimension(); ++j) {
      std::vector<std::vector<double>> draws(chains);
      for (std::size_t k = 0; k < chains; ++k)
        for (const std::size_t g : kept) draws[k].push_back(c.Draw(g, k, j));
      d.quantities.push_back(Summarise(h.names[j], draws));
    }
  Judge(d, h, limits);
  return d;
}

std::string DiagnosticsReport(const std::string& fileName, const ChainsContents& c,
                              const ChainsDiagnostics& d, const ConvergenceLimits& limits) {
  const ChainsHeader& h = c.header;
  std::string text =
      fileName + ": " + h.method + ", " + std::to_string(h.chains) + " chains, " +
      std::to_string(d.generations) + " of " + std::to_string(h.sampler.generations) +
      " generations (burn-in " + std::to_string(h.sampler.burnIn) + ", thinning " +
      std::to_string(h.sampler.thinning) + "), " + std::to_string(d.draws) + " posterior draws\n";
  text += "acceptance " + Format("%.1f", 100 * d.acceptance) + " %, failed runs " +
          Format("%.2f", 100 * d.failedFraction) + " %\n";
  if (!d.quantities.empty()) {
    char line[256];
    std::snprintf(line, sizeof line, "%-12s %13s %13s %13s %13s %13s %8s %9s %9s\n", "quantity",
                  "mean", "sd", "2.5%", "median", "97.5%", "R-hat", "ESS bulk", "ESS tail");
    text += line;
    for (const QuantitySummary& q : d.quantities) {
      std::snprintf(line, sizeof line,
                    "%-12s %13.6g %13.6g %13.6g %13.6g %13.6g %8.4f %9.0f %9.0f\n", q.name.c_str(),
                    q.mean, q.sd, q.q025, q.median, q.q975, q.convergence.rhat,
                    q.convergence.essBulk, q.convergence.essTail);
      text += line;
    }
  }
  if (d.converged)
    text += "converged: every R-hat below " + Format("%g", limits.rhat) +
            " and every bulk and tail ESS above " + Format("%g", limits.ess) + "\n";
  else
    text += d.advice + "\n";
  return text;
}

}  // namespace kvsorv::calibration
