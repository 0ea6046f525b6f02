#include "analysis/sobol_over_time.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "analysis/analysis_error.h"
#include "analysis/batch_feedback.h"
#include "analysis/series_notes.h"
#include "ensemble/seeded_random.h"
#include "statistics/bootstrap_sums.h"
#include "statistics/quantiles.h"

namespace kvsorv::analysis {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::size_t kLanes = statistics::kBootstrapLanes;
constexpr std::size_t kBlock = statistics::kBootstrapBlock;

// Sums of `lanes` columns from c0 over the chosen rows, `unroll` rows at a time into
// separate accumulators so the additions overlap.
template <std::size_t lanes, std::size_t unroll>
inline void SumBlock(const double* x, const std::uint32_t* offsets, std::size_t count,
                     double* sums) {
  double acc[unroll][lanes] = {};
  std::size_t r = 0;
  for (; r + unroll <= count; r += unroll)
    for (std::size_t u = 0; u < unroll; ++u) {
      const double* row = x + offsets[r + u];
      for (std::size_t c = 0; c < lanes; ++c) acc[u][c] += row[c];
    }
  for (; r < count; ++r)
    for (std::size_t c = 0; c < lanes; ++c) acc[0][c] += x[offsets[r] + c];
  for (std::size_t c = 0; c < lanes; ++c) {
    double total = 0;
    for (std::size_t u = 0; u < unroll; ++u) total += acc[u][c];
    sums[c] = total;
  }
}

// Column sums of the chosen rows of x (`offsets`: each row's first element; rows of `width`
// doubles, a multiple of kLanes): 16 columns per pass over the rows, then 8.
void SumRows(const double* x, std::size_t width, const std::uint32_t* offsets, std::size_t count,
             double* sums) {
  std::size_t c0 = 0;
  for (; c0 + 16 <= width; c0 += 16) SumBlock<16, 2>(x + c0, offsets, count, sums + c0);
  if (c0 < width) SumBlock<8, 4>(x + c0, offsets, count, sums + c0);
}

// The terms whose sums give the estimators, per base point: [1, a, b, a², b², then for each j
// b (ab_j - a), then for each j (a - ab_j)²], all zero for a base point that does not count.
struct Terms {
  std::size_t k = 0, width = 0;
  std::vector<double> x;  // base points x width

  void Fill(const double* y, std::size_t points) {
    const std::size_t stride = k + 2;
    double centre = 0;
    std::size_t used = 0;
    for (std::size_t i = 0; i < points; ++i) {
      const double* p = y + i * stride;
      if (std::all_of(p, p + stride, [](double v) { return std::isfinite(v); }))
        centre += p[0] + p[k + 1], used += 2;
    }
    centre = used > 0 ? centre / static_cast<double>(used) : 0.0;
    x.assign(points * width, 0.0);
    for (std::size_t i = 0; i < points; ++i) {
      const double* p = y + i * stride;
      if (!std::all_of(p, p + stride, [](double v) { return std::isfinite(v); })) continue;
      double* row = x.data() + i * width;
      const double a = p[0] - centre, b = p[k + 1] - centre;
      row[0] = 1, row[1] = a, row[2] = b, row[3] = a * a, row[4] = b * b;
      for (std::size_t j = 0; j < k; ++j) {
        const double ab = p[j + 1] - centre;
        row[5 + j] = b * (ab - a);
        row[5 + k + j] = (a - ab) * (a - ab);
      }
    }
  }
};

// Indices from the sums; false when fewer than two base points count or the variance is
// zero (within rounding of the values' size).
bool Estimate(const double* sums, std::size_t k, double scale, double* s1, double* st) {
  const double n = sums[0];
  if (n < 2) return false;
  const double mean = (sums[1] + sums[2]) / (2 * n);
  const double variance = (sums[3] + sums[4]) / (2 * n) - mean * mean;
  if (!(variance > 1e-24 * scale * scale) || !(variance > 0)) return false;
  for (std::size_t j = 0; j < k; ++j) {
    s1[j] = sums[5 + j] / n / variance;
    st[j] = sums[5 + k + j] / (2 * n) / variance;
  }
  return true;
}

// The number of base points N; sets the result's N and how many of them have all their
// members done. EAnalysisError unless the design is a Sobol design whose members fill whole
// base points, kMinimumBasePoints of them done.
std::size_t CheckSobolLayout(const EnsembleLayout& layout, SobolResult& r) {
  RequireDesign(layout, "sobol", "sobol");
  const std::size_t k = layout.parameters.size(), stride = k + 2;
  const std::size_t members = layout.Members();
  if (k == 0 || members % stride != 0)
    throw EAnalysisError(layout.source + ": " + std::to_string(members) +
                         " members do not fill whole base points of " + std::to_string(stride) +
                         " members (A, AB_1 .. AB_k, B)");
  const std::size_t points = members / stride;
  r.basePoints = static_cast<int>(points);
  for (std::size_t i = 0; i < points; ++i) {
    const auto first = layout.states.begin() + static_cast<long>(i * stride);
    if (std::all_of(first, first + static_cast<long>(stride),
                    [](MemberState s) { return s == MemberState::kDone; }))
      ++r.completeBasePoints;
  }
  if (r.completeBasePoints < kMinimumBasePoints)
    throw EAnalysisError(layout.source + ": only " + std::to_string(r.completeBasePoints) + " of " +
                         std::to_string(points) +
                         " base points have all their members done; Sobol indices need at least " +
                         std::to_string(kMinimumBasePoints));
  return points;
}

// What every series shares: the design's sizes, the first element of each base point's terms,
// the numbers of base points the convergence counts, and the bootstrap's resamples.
struct SobolSetup {
  std::size_t k = 0, members = 0, points = 0, width = 0;
  std::size_t resamples = 0, blocks = 0;
  std::vector<double> weights;  // blocks x points: how often each resample draws each point
  std::vector<std::uint32_t> prefix;
  std::size_t sizes[3] = {};  // N, N/2, N/4
  double tail = 0;            // of the interval, on each side
};

// Shared resamples of the base points, as the times each resample draws each base point.
// Resamples padded with empty ones to whole blocks (their sums are zero and unused).
std::vector<double> ResampleWeights(std::uint64_t seed, std::size_t resamples, std::size_t blocks,
                                    std::size_t points) {
  ensemble::SeededEngine random(seed);
  std::vector<std::uint32_t> drawn(resamples * points);
  for (std::size_t b = 0; b < resamples; ++b) {
    for (std::size_t i = 0; i < points; ++i)
      drawn[b * points + i] = static_cast<std::uint32_t>(ensemble::UniformIndex(random, points));
  }
  std::vector<double> weights(blocks * points, 0.0);
  for (std::size_t b = 0; b < resamples; ++b)
    for (std::size_t r = b * points; r < (b + 1) * points; ++r) weights[b * points + drawn[r]] += 1;
  return weights;
}

SobolSetup MakeSobolSetup(const EnsembleLayout& layout, const SobolOptions& options,
                          std::size_t points) {
  SobolSetup setup;
  setup.k = layout.parameters.size();
  setup.members = layout.Members();
  setup.points = points;
  setup.resamples = static_cast<std::size_t>(std::max(options.resamples, 0));
  setup.width = (5 + 2 * setup.k + kLanes - 1) / kLanes * kLanes;
  setup.blocks = (setup.resamples + kBlock - 1) / kBlock * kBlock;
  setup.weights = ResampleWeights(options.seed, setup.resamples, setup.blocks, points);
  setup.prefix.resize(points);
  for (std::size_t i = 0; i < points; ++i)
    setup.prefix[i] = static_cast<std::uint32_t>(i * setup.width);
  setup.sizes[0] = points, setup.sizes[1] = points / 2, setup.sizes[2] = points / 4;
  setup.tail = (1.0 - options.confidence) / 2.0;
  return setup;
}

// The largest finite value's size: what a zero variance is judged against.
double ValueScale(const double* y, std::size_t members) {
  double scale = 0;
  for (std::size_t m = 0; m < members; ++m)
    if (std::isfinite(y[m])) scale = std::max(scale, std::fabs(y[m]));
  return scale;
}

// The indices of a series from its first N, N/2 and N/4 base points, as its convergence rows;
// a note for the series when those of all N cannot be computed.
void EstimateConvergence(const SobolSetup& setup, const Terms& terms, double scale,
                         const EnsembleLayout& layout, std::size_t series, SobolResult& r,
                         SeriesNotes& notes) {
  const std::size_t k = setup.k;
  std::vector<double> sums(setup.width), s1(k, kNaN), st(k, kNaN);
  for (std::size_t c = 0; c < 3; ++c) {
    SumRows(terms.x.data(), setup.width, setup.prefix.data(), setup.sizes[c], sums.data());
    std::fill(s1.begin(), s1.end(), kNaN);
    std::fill(st.begin(), st.end(), kNaN);
    const bool ok = Estimate(sums.data(), k, scale, s1.data(), st.data());
    if (c == 0 && !ok) notes.Mark(0, series);
    for (std::size_t j = 0; j < k; ++j) {
      ConvergenceRow& row = r.convergence[(series * k + j) * 3 + c];
      row = {layout.OutputOf(series),
             layout.TimeOf(series),
             layout.parameters[j],
             static_cast<int>(sums[0]),
             s1[j],
             st[j],
             static_cast<int>(setup.sizes[c])};
    }
  }
}

// The indices of every resample whose estimate can be computed, per parameter.
void BootstrapIndices(const SobolSetup& setup, const Terms& terms, double scale,
                      std::vector<std::vector<double>>& firsts,
                      std::vector<std::vector<double>>& totals) {
  const std::size_t k = setup.k, width = setup.width;
  thread_local std::vector<double> all;
  all.resize(setup.blocks * width);
  statistics::BootstrapSums(terms.x.data(), width, setup.points, setup.weights.data(), setup.blocks,
                            all.data());
  std::vector<double> bs1(k), bst(k);
  for (std::size_t b = 0; b < setup.resamples; ++b) {
    if (!Estimate(all.data() + b * width, k, scale, bs1.data(), bst.data())) continue;
    for (std::size_t j = 0; j < k; ++j) firsts[j].push_back(bs1[j]), totals[j].push_back(bst[j]);
  }
}

// The rows of a series: the indices of all N base points with their bootstrap intervals
// (the resampled indices are reordered).
void FillSobolRows(const SobolSetup& setup, std::size_t series,
                   std::vector<std::vector<double>>& firsts,
                   std::vector<std::vector<double>>& totals, SobolResult& r) {
  const std::size_t k = setup.k;
  for (std::size_t j = 0; j < k; ++j) {
    const ConvergenceRow& full = r.convergence[(series * k + j) * 3];
    SobolRow& row = r.rows[series * k + j];
    row.output = full.output, row.time = full.time, row.parameter = full.parameter;
    row.s1 = full.s1, row.st = full.st, row.basePoints = full.basePoints;
    const double tails[] = {setup.tail, 1 - setup.tail};
    double s1Interval[2], stInterval[2];
    statistics::Quantiles(firsts[j], tails, s1Interval);
    statistics::Quantiles(totals[j], tails, stInterval);
    row.s1Low = s1Interval[0], row.s1High = s1Interval[1];
    row.stLow = stInterval[0], row.stHigh = stInterval[1];
    row.designBasePoints = static_cast<int>(setup.points);
    row.s1Stability = SobolIndexStability("S1", row.s1, row.s1Low, row.s1High);
    row.stStability = SobolIndexStability("ST", row.st, row.stLow, row.stHigh);
  }
}

void EstimateSeries(const SobolSetup& setup, const EnsembleLayout& layout, const double* y,
                    std::size_t series, SobolResult& r, SeriesNotes& notes) {
  const std::size_t k = setup.k;
  thread_local Terms terms;
  terms.k = k, terms.width = setup.width;
  terms.Fill(y, setup.points);
  const double scale = ValueScale(y, setup.members);
  EstimateConvergence(setup, terms, scale, layout, series, r, notes);
  const bool whole = std::isfinite(r.convergence[series * k * 3].s1) || k == 0;
  std::vector<std::vector<double>> firsts(k), totals(k);
  if (whole && setup.resamples > 0) BootstrapIndices(setup, terms, scale, firsts, totals);
  FillSobolRows(setup, series, firsts, totals, r);
}

}  // namespace

SobolResult SobolOverTime(SeriesSource& source, const SobolOptions& options, Feedback* feedback) {
  const EnsembleLayout& layout = source.Layout();
  SobolResult r;
  const std::size_t points = CheckSobolLayout(layout, r);
  const SobolSetup setup = MakeSobolSetup(layout, options, points);
  const std::size_t k = setup.k;
  r.rows.resize(layout.Series() * k);
  r.convergence.resize(layout.Series() * k * 3);
  SeriesNotes notes(layout);
  notes.Resize(1);
  ForEachSeries(source, feedback, [&](std::size_t series, const double* y) {
    EstimateSeries(setup, layout, y, series, r, notes);
  });
  r.notes =
      notes.Lines({"zero variance (a constant output) or fewer than two base points; "
                   "its indices are left empty"});
  UnstableSummary unstable;
  for (const SobolRow& row : r.rows)
    unstable.Add(row.output, row.parameter, row.time, Combined(row.s1Stability, row.stStability));
  r.warnings = unstable.Lines("Sobol rows (S1 and ST of a parameter)", layout.times.size());
  return r;
}

}  // namespace kvsorv::analysis
