#include "calibration/calibration_run.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>

#include "calibration/adaptive_metropolis.h"
#include "calibration/dezs_sampler.h"
#include "calibration/fit_file.h"
#include "calibration/progress_text.h"
#include "ensemble/distribution.h"
#include "ensemble/plan_reader.h"
#include "ensemble/rank_correlation.h"
#include "ensemble/seeded_random.h"
#include "tasks/worker_pool.h"

namespace kvsorv::calibration {

namespace {

constexpr std::uint64_t kArchiveStream = 101;
constexpr std::uint64_t kStartStream = 102;

// How often the file is synced while generations go on.
constexpr auto kSyncInterval = std::chrono::seconds(2);

std::vector<double> PriorDraw(const std::vector<ensemble::Distribution>& priors,
                              ensemble::SeededEngine& g) {
  std::vector<double> x;
  for (const ensemble::Distribution& p : priors)
    x.push_back(ensemble::Quantile(p, ensemble::Uniform01(g)));
  return x;
}

// The initial past samples of a DE-MCzs calibration: ten draws from the prior per sampled
// quantity (at least as many as there are chains).
std::vector<std::vector<double>> InitialArchive(const std::vector<ensemble::Distribution>& priors,
                                                std::uint64_t seed, int chains) {
  const std::size_t size =
      std::max<std::size_t>(10 * priors.size(), static_cast<std::size_t>(chains));
  std::vector<std::vector<double>> archive;
  for (std::size_t i = 0; i < size; ++i) {
    ensemble::SeededEngine g = ensemble::StreamEngine(seed, kArchiveStream, i);
    archive.push_back(PriorDraw(priors, g));
  }
  return archive;
}

// Where the chains' starts are drawn from: the prior, or a Gaussian around a fit's optimum
// (its covariance, cut to the prior's support).
class StartDraws {
 public:
  StartDraws(const CalibrationModel& model, const std::string& fitFile)
      : priors_(SampledPriors(model.Plan())) {
    if (fitFile.empty()) return;
    const FitFileContents fit = ReadFitFile(fitFile);
    std::vector<std::string> names;
    for (const ensemble::VariedParameter& p : model.Plan().site.parameters)
      names.push_back(p.symbol);
    if (fit.names != names)
      throw ensemble::EPlanError(fitFile + ": a fit of other parameters than the plan's");
    centre_ = fit.optimum;
    if (!fit.covariance.empty())
      if (auto l = ensemble::CholeskyFactor(fit.covariance)) factor_ = *l;
  }

  // A draw around the fit's optimum; an estimated error scale from its prior.
  std::vector<double> Draw(ensemble::SeededEngine& g) const {
    if (centre_.empty()) return PriorDraw(priors_, g);
    std::vector<double> z, x = centre_;
    for (std::size_t j = 0; j < x.size(); ++j)
      z.push_back(ensemble::Quantile(ensemble::Normal{0, 1}, ensemble::Uniform01(g)));
    for (std::size_t i = 0; i < factor_.size(); ++i)
      for (std::size_t j = 0; j <= i; ++j) x[i] += factor_[i][j] * z[j];
    for (std::size_t j = x.size(); j < priors_.size(); ++j)
      x.push_back(ensemble::Quantile(priors_[j], ensemble::Uniform01(g)));
    return x;
  }

 private:
  std::vector<ensemble::Distribution> priors_;
  std::vector<double> centre_;
  std::vector<std::vector<double>> factor_;  // lower triangle
};

// Each chain's start: the first of its draws whose run succeeds with a density.
std::vector<ChainState> DrawStarts(const CalibrationModel& model, const CalibrationOptions& options,
                                   int chains, std::uint64_t seed, CalibrationOutcome& outcome) {
  const StartDraws draws(model, options.startFrom);
  std::vector<ChainState> starts(static_cast<std::size_t>(chains));
  std::vector<int> attempts(starts.size(), 0);
  std::vector<std::string> lastFailure(starts.size());
  tasks::ParallelFor(starts.size(), options.threads, [&](std::size_t c) {
    ensemble::SeededEngine g = ensemble::StreamEngine(seed, kStartStream, c);
    for (int a = 0; a < kStartAttempts; ++a) {
      ++attempts[c];
      ChainState s{.x = draws.Draw(g), .at = {}};
      s.at = model.Evaluate(s.x);
      if (std::isfinite(s.at.logPosterior)) {
        starts[c] = std::move(s);
        return;
      }
    }
  });
  for (std::size_t c = 0; c < starts.size(); ++c) {
    outcome.startFailures += static_cast<std::size_t>(attempts[c] - (starts[c].x.empty() ? 0 : 1));
    if (starts[c].x.empty())
      throw ensemble::EPlanError(
          model.Plan().site.file.string() + ": parameter: no start of chain " +
          std::to_string(c + 1) + " within " + std::to_string(kStartAttempts) + " draws from " +
          (options.startFrom.empty() ? "the priors" : "around the fit in " + options.startFrom) +
          " gives a run with a likelihood above 0; narrow the priors to where the model runs");
  }
  return starts;
}

std::unique_ptr<Sampler> MakeSampler(const std::string& method, const CalibrationModel& model,
                                     const SamplerSettings& settings, std::uint64_t seed,
                                     std::vector<std::vector<double>> archive,
                                     std::vector<ChainState> starts) {
  std::vector<double> spread;
  for (const ensemble::Distribution& p : SampledPriors(model.Plan()))
    spread.push_back(ensemble::Quantile(p, 0.975) - ensemble::Quantile(p, 0.025));
  if (method == "am") {
    for (double& s : spread) s *= 0.05;  // a first proposal within the prior's bulk
    return MakeAdaptiveMetropolisSampler(
        {.seed = seed, .initialSpread = spread, .adaptAfter = settings.adaptAfter},
        std::move(starts));
  }
  return MakeDezsSampler({.seed = seed, .archiveEvery = settings.archiveEvery, .scale = spread},
                         std::move(archive), std::move(starts));
}

ChainsHeader HeaderOf(const CalibrationModel& model, const CalibrationOptions& options) {
  const CalibrationPlan& plan = model.Plan();
  ChainsHeader h;
  h.method = options.method;
  h.names = SampledNames(plan);
  h.chains = plan.sampler.chains;
  h.seed = plan.site.seed;
  h.planHash = plan.hash;
  std::error_code ignored;
  h.planFile = std::filesystem::absolute(plan.site.file, ignored).string();
  h.version = options.version;
  h.sampler = plan.sampler;
  return h;
}

// A resumed file must continue this plan's calibration by this method.
void CheckResumable(const ChainsContents& c, const ChainsHeader& wanted,
                    const CalibrationOptions& options) {
  const std::string name = options.chainsFile;
  if (c.header.planHash != wanted.planHash)
    throw ensemble::EPlanError(name + ": made from another plan or other observations than " +
                               wanted.planFile +
                               " (their fingerprints differ); start anew without --resume");
  if (c.header.method != wanted.method)
    throw ensemble::EPlanError(name + ": made by --method " + c.header.method + ", not " +
                               wanted.method);
  if (c.header.names != wanted.names || c.header.chains != wanted.chains)
    throw ensemble::EPlanError(name + ": holds other parameters or chains than the plan's");
}

}  // namespace

CalibrationOutcome RunCalibration(const CalibrationModel& model, const CalibrationOptions& options,
                                  Feedback& feedback) {
  const CalibrationPlan& plan = model.Plan();
  ChainsHeader header = HeaderOf(model, options);
  std::optional<ChainsContents> before;
  if (options.resume) {
    before = ReadChains(options.chainsFile);
    CheckResumable(*before, header, options);
  }
  // A resumed calibration goes on to the more of the generations its file and its plan plan,
  // unless told otherwise.
  const std::size_t wanted = static_cast<std::size_t>(options.generations.value_or(
      before ? std::max(before->header.sampler.generations, plan.sampler.generations)
             : plan.sampler.generations));
  header.sampler.generations = static_cast<int>(wanted);
  // Every generation is kept, and read back whole by a resume or the diagnostics.
  const double values = static_cast<double>(wanted) * header.chains * (header.names.size() + 3);
  if (values > kMostChainValues)
    throw ensemble::EPlanError(
        plan.site.file.string() + ": sampler: " + std::to_string(wanted) + " generations of " +
        std::to_string(header.chains) + " chains would keep " + ensemble::PlanNumberText(values) +
        " values; a chains file holds at most " + ensemble::PlanNumberText(kMostChainValues) +
        " (run fewer generations or fewer chains)");
  CalibrationOutcome outcome;
  ProgressText progress(header.chains, wanted);
  std::unique_ptr<Sampler> sampler;
  std::optional<ChainsWriter> writer;
  if (before) {
    const ChainsContents& c = *before;
    sampler = MakeSampler(options.method, model, plan.sampler, header.seed, c.archive, c.starts);
    for (std::size_t g = 0; g < c.generations; ++g) {
      const Generation generation = c.GenerationAt(g);
      sampler->Replay(generation);
      progress.Add(generation, false);
    }
    writer.emplace(ChainsWriter::Append(options.chainsFile));
    if (wanted != static_cast<std::size_t>(c.header.sampler.generations))
      writer->SetPlannedGenerations(static_cast<int>(wanted));
  } else {
    std::vector<std::vector<double>> archive;
    if (options.method == "dezs")
      archive = InitialArchive(SampledPriors(plan), header.seed, header.chains);
    std::vector<ChainState> starts =
        DrawStarts(model, options, header.chains, header.seed, outcome);
    writer.emplace(ChainsWriter::Create(options.chainsFile, header, archive, starts));
    sampler = MakeSampler(options.method, model, plan.sampler, header.seed, std::move(archive),
                          std::move(starts));
  }

  const Target target = [&model](const std::vector<double>& x) { return model.Evaluate(x); };
  auto lastSync = std::chrono::steady_clock::now();
  feedback.SetProgress(writer->Generations(), wanted);
  while (writer->Generations() < wanted && !feedback.IsCanceled()) {
    const Generation& g = sampler->Step(target, options.threads);
    writer->Write(g);
    ++outcome.ranNow;
    for (std::size_t c = 0; c < g.chains.size(); ++c) {
      ++outcome.proposals;
      outcome.accepted += g.accepted[c];
      outcome.failed += g.failed[c];
    }
    progress.Add(g);
    if (std::chrono::steady_clock::now() - lastSync > kSyncInterval) {
      writer->Sync();
      lastSync = std::chrono::steady_clock::now();
      feedback.SetMessage(progress.Text(writer->Generations()));
    }
    feedback.SetProgress(writer->Generations(), wanted);
  }
  outcome.canceled = writer->Generations() < wanted;
  outcome.generations = writer->Generations();
  writer->Close();
  feedback.SetMessage(progress.Text(outcome.generations));
  return outcome;
}

}  // namespace kvsorv::calibration
