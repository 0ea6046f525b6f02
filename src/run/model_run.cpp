#include "run/model_run.h"

#include <cmath>
#include <cstdint>

#include "model/errors.h"
#include "model/model_indices.h"
#include "model/process_evaluation.h"
#include "ode/integrator.h"

namespace kvsorv {

namespace {

int ProgressPercent(double presentTime, const RunTimes& t) {
  const auto done = static_cast<std::int64_t>(std::llround(presentTime - t.start));
  const auto length = static_cast<std::int64_t>(std::llround(t.stop - t.start));
  if (length <= 0) return 0;  // a run shorter than half a year has no whole-year scale
  return static_cast<int>((done * 100) / length);
}

// One run's tables, readers and counters.
class ModelRun {
 public:
  ModelRun(const RunInputs& inputs, RunSink& sink, Feedback* feedback, ProgressShare share)
      : in_(inputs), sink_(sink), feedback_(feedback), share_(share) {
    out_.states = inputs.states;
    out_.drivers = inputs.drivers;
    out_.processes = inputs.processes;
    main_.series = inputs.mainDrivers.get();
    base_.series = inputs.baseDrivers.get();
    settings_.waterCoefficient = inputs.waterCoefficient;
  }

  void Prepare() {
    const RunTimes& t = in_.times;
    out_.nextCellDrivers = out_.drivers;
    baseDrivers_ = out_.drivers;
    out_.startRecordDrivers = out_.drivers;
    for (auto& d : out_.startRecordDrivers) d.value = 0.0;

    out_.presentTime = t.start;
    baseClock_ = t.start;
    stepCounter_ = 1;
    stepsPerOutput_ = std::llround(t.outputStep / t.step);
    GetDriverValues(main_, out_.drivers, out_.presentTime, t.stop);
    GetDriverValues(base_, baseDrivers_, baseClock_, t.stop);

    const double ch = InitialHumusCarbon(in_.cellNumber);
    out_.states[st::Ch].value = ch;
    out_.states[st::Nh].value = ch / kHumusCNRatio;

    ComputeProcesses(out_.drivers, in_.params, out_.states, out_.processes, out_.presentTime,
                     settings_);
    sink_.OutputLine(out_.presentTime, out_.drivers, out_.states, out_.processes);
  }

  void StepLoop() {
    const RunTimes& t = in_.times;
    const int n = kNumStates;
    double& present = out_.presentTime;
    drivearray& drivers = out_.drivers;
    while (present + t.step <= t.stop) {
      if (feedback_ != nullptr && feedback_->IsCanceled()) throw ERunCanceled();
      out_.nextCellDrivers = drivers;
      if (std::abs(in_.cellNumber - kFixedDepositionCell) < 0.1 && present > kFixedDepositionYear)
        drivers[drv::Dnh4].value = kFixedDeposition;

      StateVector y;
      for (int i = 1; i <= n; ++i) y[i] = out_.states[i].value;
      int nok = 0, nbad = 0;
      ODEIntegrator(y, n, nok, present, present + t.step, t.tolerance, t.step, 0.0001 * t.step,
                    nbad, drivers, in_.params, out_.states, settings_.waterCoefficient);
      for (int i = 1; i <= n; ++i) out_.states[i].value = y[i];

      ComputeProcesses(drivers, in_.params, out_.states, out_.processes, present, settings_);

      if (stepCounter_ == stepsPerOutput_) {
        // The next cell receives this cell's base water and deposition plus what leaves it.
        drivearray& next = out_.nextCellDrivers;
        next[drv::Ppt].value = baseDrivers_[drv::Ppt].value + out_.processes[proc::Qw].value;
        next[drv::Dnh4].value = baseDrivers_[drv::Dnh4].value + out_.processes[proc::Qnh4].value;
        if (std::fabs(present - kFirstOutputYear) < 0.1) out_.startRecordDrivers = next;
        sink_.NextCellRecord(present, next);
        if (present >= kFirstOutputYear)
          sink_.OutputLine(present + t.step, drivers, out_.states, out_.processes);
        stepCounter_ = 0;
      }

      if (feedback_ != nullptr) ReportProgress(ProgressPercent(present, t));

      present += t.step;
      baseClock_ += t.step;
      GetDriverValues(main_, drivers, present, t.stop);
      GetDriverValues(base_, baseDrivers_, baseClock_, t.stop);
      ++stepCounter_;
    }
  }

  RunOutcome& Outcome() { return out_; }

 private:
  // Only a change reaches the feedback: at most 101 calls in a run, not one per step.
  void ReportProgress(int percent) {
    if (percent == reported_) return;
    reported_ = percent;
    feedback_->SetProgress(share_.before + static_cast<std::size_t>(percent), share_.total);
  }

  const RunInputs& in_;
  RunSink& sink_;
  Feedback* feedback_;
  ProgressShare share_;
  int reported_ = -1;
  RunOutcome out_;
  EquationSettings settings_;
  DriverSeriesReader main_;
  DriverSeriesReader base_;
  drivearray baseDrivers_;  // drivers of the base series at the base clock
  double baseClock_ = 0.0;  // advances with the run clock
  long long stepCounter_ = 1;
  long long stepsPerOutput_ = 1;
};

}  // namespace

double InitialHumusCarbon(int cellNumber) {
  const double f = (cellNumber - 1) / 5.0 + 1.0;
  return 5.1558 * f * f + 649.24 * f + 8013.2;
}

RunOutcome RunModel(const RunInputs& inputs, RunSink& sink, Feedback* feedback,
                    ProgressShare share) {
  ModelRun run(inputs, sink, feedback, share);
  run.Prepare();
  try {
    run.StepLoop();
  } catch (const Exception& e) {
    run.Outcome().failure = std::current_exception();
    run.Outcome().failureMessage = e.Message();
  }
  return std::move(run.Outcome());
}

}  // namespace kvsorv
