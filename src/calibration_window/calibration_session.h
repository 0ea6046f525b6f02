#pragma once
// The rules of the calibration window: the plan as edited (the calibrated parameters with
// their priors, the observation files, the sampler's settings); opening and saving it
// (TOML that ReadCalibrationPlan reads, refusing what it refuses); the observations as a
// table with the first one the run cannot match named; a fit and a sampler on a worker
// thread into files beside the plan, with stop and resume (also of a chains file a former
// session left); the progress; the charts of the chains so far; the verdict; and the two
// commands that carry the posterior on: an ensemble plan drawing from it, and its mode into
// the parameter file. Messages go through CurrentPrompter(), on the thread that calls the
// session (the user-interface thread).

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "calibration/calibration_model.h"
#include "calibration/chain_diagnostics.h"
#include "calibration/chains_file.h"
#include "calibration/fit_file.h"
#include "calibration_window/calibration_plan_text.h"
#include "charts/calibration_charts.h"
#include "tasks/feedback.h"

namespace kvsorv::calibration {

inline constexpr const char* kSaveCalibrationFirstMessage =
    "Save the plan before running it: its fit and chains files are kept beside it.";
inline constexpr const char* kReplaceChainsQuestion =
    "Replace the chains file '%s' and the generations it holds?";
inline constexpr const char* kOverwriteParamFileQuestion = "Overwrite existing parameter file?";
inline constexpr const char* kSaveCalibrationBeforeExitQuestion =
    "Save the calibration plan '%s' before exiting?";

// One observation as the table shows it: the error is the standard deviation of the value
// (in the output's units; of a relative error, that fraction of the value).
struct ObservationLine {
  double time = 0;
  std::string output;
  double value = 0;
  double error = 0;
};

enum class Job { kNone, kFit, kSample };

class CalibrationSession {
 public:
  CalibrationSession();
  // Stops a run and waits for it.
  ~CalibrationSession();
  CalibrationSession(const CalibrationSession&) = delete;
  CalibrationSession& operator=(const CalibrationSession&) = delete;

  // The plan as edited; edits mark it changed since it was opened or saved.
  const EditedCalibration& Plan() const { return plan_; }
  const std::vector<ensemble::PlanRow>& Rows() const { return plan_.rows; }
  void SetRow(std::size_t row, ensemble::PlanRow value);
  void AddRow();
  void RemoveRow(std::size_t row);
  void SetObservationFiles(std::vector<ObservationFile> files);
  void SetSampler(const SamplerSettings& sampler);
  void SetTimes(const RunTimes& times);
  const std::string& Method() const { return method_; }
  void SetMethod(const std::string& method) { method_ = method; }  // "dezs" or "am"
  const std::string& PlanFile() const { return planFile_; }
  bool Changed() const { return changed_; }

  // A new plan of the program's site: its parameter and driver files and run times
  // (RunSettings), no parameter yet, the default sampler.
  void NewPlan();
  // Reads a plan (an error box with ReadCalibrationPlan's message when it cannot be, and
  // nothing changes); its chains file is read back when it was made from this plan.
  bool OpenPlan(const std::string& fileName);
  // Writes the edited plan when ReadCalibrationPlan reads it back; otherwise an error box
  // with that refusal and nothing is written. Returns whether it was saved.
  bool SavePlan(const std::string& fileName);
  bool OpenPlanDialog();
  bool SavePlanDialog();
  // Asks about a plan changed since it was opened or saved: Yes saves it, No drops the
  // changes; false on Cancel or a failed save.
  bool ConfirmClose();

  // Every observation of the plan's files, in their order (unreadable files left out).
  std::vector<ObservationLine> Observations() const;
  // Why the edited plan's observations cannot be matched to its run ("FILE, line 4: the run
  // writes no output line at 1750 (...)", "...: unknown symbol 'Xf'"); "" when they can.
  std::string ObservationProblem() const;

  // "<plan without .toml>.fit.nc" and ".chains.nc".
  std::string FitFileName() const;
  std::string ChainsFileName() const;

  // A fit, or the sampler from the start (the chains around the fit's optimum when the fit
  // file is of this plan), on a worker thread with every core. A plan not saved is refused
  // with kSaveCalibrationFirstMessage; an existing chains file is replaced only after
  // kReplaceChainsQuestion. Returns whether the run started.
  bool Fit();
  bool Sample();
  // Continues the chains file to the plan's generations.
  bool Resume();
  // Chains that ran every generation planned without converging go on by the generations
  // their verdict says are still needed, into the same file. Returns whether the run started.
  bool Continue();
  // The generations in all Continue runs to; 0 when the chains are converged, stopped short
  // of the plan, or missing.
  std::size_t ContinueTo() const;
  // The sampler ends after the generation under way (a fit runs to its end). Any thread.
  void Stop();
  bool Running() const;
  Job RunningJob() const;
  bool CanResume() const;
  // Waits for the run and shows its failure as an error box; then the results are read.
  void FinishRun();
  // The feedback of the last run (nullptr before any); finished once its results are read.
  std::shared_ptr<Feedback> RunFeedback() const;
  std::string ProgressText() const;

  // The chains so far (of the run under way, or the file read back); nullptr when none.
  std::shared_ptr<const ChainsContents> Chains() const;
  std::vector<std::string> Quantities() const;
  std::optional<TraceChartData> Trace(std::size_t quantity) const;
  std::optional<MarginalChartData> Marginal(std::size_t quantity) const;
  std::optional<PairsChartData> Pairs(std::size_t x, std::size_t y) const;
  // The observed outputs (of the plan read last).
  std::vector<std::string> ObservedOutputs() const;
  // The fit of an observed output from `draws` posterior draws.
  std::optional<EnvelopeChartData> FitOf(const std::string& output, std::size_t draws) const;
  // The verdict: "Converged: ..." or "Not converged: ...", with R-hat and ESS per quantity
  // and the advice; "" before any chains.
  std::string Verdict() const;
  std::optional<ChainsDiagnostics> Diagnostics() const;

  // Writes an ensemble plan that draws `members` members from the posterior (the outputs the
  // observed ones, yearly; the plan's stop time) beside the plan, "<plan>.posterior.toml",
  // and hands its name to the callback (the ensemble window opens it). Returns the name, or
  // "" when there are no chains (an error box then).
  std::string WritePosteriorEnsemble(int members);
  void SetOpenEnsemble(std::function<void(const std::string&)> open) {
    openEnsemble_ = std::move(open);
  }
  // The draw with the highest log-posterior (or the fit's optimum before any chains) by
  // symbol; empty when there is neither.
  std::vector<std::pair<std::string, double>> PosteriorMode() const;
  // Writes the posterior mode into the program's parameter tables and its parameter file,
  // after kOverwriteParamFileQuestion (No writes nothing). Returns whether it was written.
  bool WritePosteriorMode();

 private:
  bool Start(Job job, bool resume, std::optional<int> generations = std::nullopt);
  void Worker(Job job, bool resume, std::optional<int> generations, CalibrationPlan plan);
  void ReadBack();
  void Edited() { changed_ = true; }

  EditedCalibration plan_;
  std::string planFile_;
  std::string method_ = "dezs";
  bool changed_ = false;
  std::optional<CalibrationPlan> read_;  // the plan as opened or saved
  std::optional<FitFileContents> fit_;
  mutable std::unique_ptr<CalibrationModel> model_;  // for the fit chart
  std::function<void(const std::string&)> openEnsemble_;
  std::thread worker_;

  mutable std::mutex mutex_;  // guards what follows
  std::shared_ptr<Feedback> feedback_;
  std::shared_ptr<const ChainsContents> chains_;
  Job job_ = Job::kNone;
  std::string failure_;
  std::string chainsNote_;
};

}  // namespace kvsorv::calibration
