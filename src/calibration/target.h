#pragma once
// What a sampler calibrates against: a log-density over a parameter vector, and the states and
// generations of the chains that sample it. Nothing here knows the model; a test gives an
// analytic density, the calibration gives prior times likelihood of the model's runs.

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace kvsorv::calibration {

inline constexpr double kZeroDensity = -std::numeric_limits<double>::infinity();

// The log-density at a point. A point outside the prior's support has kZeroDensity; a point
// whose run failed has kZeroDensity and `failed` set, so that failures are counted, never
// raised.
struct Evaluation {
  double logPosterior = kZeroDensity;  // log prior + log likelihood, up to a constant
  double logLikelihood = kZeroDensity;
  bool failed = false;
};

// Called from several threads at once, on different points; must not throw for a point of
// zero density (a thrown exception stops the sampler and is raised again by Step).
using Target = std::function<Evaluation(const std::vector<double>& x)>;

struct ChainState {
  std::vector<double> x;
  Evaluation at;
};

// One generation: every chain's state after it, and what became of its proposal.
struct Generation {
  std::vector<ChainState> chains;
  std::vector<unsigned char> accepted;  // per chain, 1 when the proposal was taken
  std::vector<unsigned char> failed;    // per chain, 1 when the proposal's run failed
};

// A sampler that advances all its chains one generation at a time. A generation depends only
// on the sampler's settings (seed included), the states it started from and the generations
// before it: never on the number of threads, so that a calibration stopped and replayed from
// its recorded generations continues to the same bits as one never stopped.
class Sampler {
 public:
  virtual ~Sampler() = default;
  // Proposes a move of every chain, evaluates the proposals side by side on up to `threads`
  // threads, and accepts or rejects each. Raises what the target raised.
  virtual const Generation& Step(const Target& target, std::size_t threads) = 0;
  // Takes a generation as Step once returned it (read back from the chains file), bringing
  // the sampler to the state it had after that Step, without evaluating anything. Failures:
  // std::invalid_argument for a generation of another number of chains or parameters.
  virtual void Replay(const Generation& g) = 0;
  virtual int GenerationsDone() const = 0;
  virtual const std::vector<ChainState>& Current() const = 0;
};

}  // namespace kvsorv::calibration
