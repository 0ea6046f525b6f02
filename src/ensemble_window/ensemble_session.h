#pragma once
// The rules of the ensemble window: the plan as an editable table of varied parameters with
// its members, seed and design method; opening and saving the plan (TOML); running the
// members on a worker thread into a results file beside the plan, with stop and resume; the
// progress; and the figures of the members finished so far. Messages go through
// CurrentPrompter(), on the thread that calls the session (the user-interface thread).

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "charts/ensemble_charts_data.h"
#include "ensemble/finished_members.h"
#include "ensemble/member_run.h"
#include "ensemble/sampling.h"
#include "ensemble_window/correlation_table.h"
#include "ensemble_window/plan_table.h"
#include "tasks/feedback.h"

namespace kvsorv::ensemble {

class ResultsFile;

inline constexpr const char* kSaveBeforeRunMessage =
    "Save the plan before running it: its results file is kept beside it.";
inline constexpr const char* kReplaceResultsQuestion =
    "Replace the results file '%s' and the members it holds?";
inline constexpr const char* kNothingToResumeMessage = "Every member of '%s' has finished.";
inline constexpr const char* kSavePlanBeforeExitQuestion =
    "Save the ensemble plan '%s' before exiting?";

// How far a run has come. Members count over the whole design, those finished by earlier
// runs of a resumed file included.
struct RunProgress {
  std::size_t finished = 0;
  std::size_t total = 0;
  std::size_t failed = 0;
  double membersPerSecond = 0.0;  // of this run so far
  double secondsLeft = 0.0;       // at that rate; 0 when unknown
  bool running = false;
  bool stopped = false;  // the last run was stopped before every member finished
};

// The progress in words: "Not run yet", "120 of 240 members, 2 failed, 35.2 members/s, 4 s
// left", "Stopped: 120 of 240 members kept (2 failed); Resume runs the other 120", ...
std::string ProgressText(const RunProgress& progress);

// The caption of the members field for a design: what its number counts.
const char* MembersCaption(Method method);

// The window's figures, one per tab.
enum class Figure { kEnvelope, kTornado, kSobol, kConvergence, kMorris, kFailures };

class EnsembleSession {
 public:
  EnsembleSession();
  // Stops a run and waits for the members in flight.
  ~EnsembleSession();
  EnsembleSession(const EnsembleSession&) = delete;
  EnsembleSession& operator=(const EnsembleSession&) = delete;

  // The plan as edited. Edits mark the plan changed since it was opened or saved.
  const std::vector<PlanRow>& Rows() const { return rows_; }
  void SetRow(std::size_t row, PlanRow value);
  void AddRow();
  void RemoveRow(std::size_t row);
  int Members() const { return base_.members; }
  void SetMembers(int members);
  std::uint64_t Seed() const { return base_.seed; }
  void SetSeed(std::uint64_t seed);
  const std::vector<OutputSpec>& Outputs() const { return base_.outputs; }
  Method DesignMethod() const { return method_; }
  void SetMethod(Method method) { method_ = method; }
  const std::string& PlanFile() const { return planFile_; }
  bool Changed() const { return changed_; }
  // The plan's rank correlations as edited.
  const std::vector<CorrelationRow>& Correlations() const { return correlationRows_; }
  void SetCorrelation(std::size_t row, CorrelationRow value);
  void AddCorrelation();
  void RemoveCorrelation(std::size_t row);
  // Why a correlation row makes no correlation of the table's parameters; "" when it does.
  std::string CorrelationProblem(std::size_t row) const;
  // What Run makes of the plan as edited: "Run makes 1000 members: 200 base points x (3
  // parameters + 2)."
  std::string DesignSizeText() const;

  // The edited plan: the opened plan with the table's parameters, members, seed and rank
  // correlations. EPlanError naming the row and what is wrong when a row makes no parameter
  // or no correlation, or when there are no rows or no outputs.
  EnsemblePlan EditedPlan() const;

  // Reads a plan; a plan that cannot be read is reported as an error box naming the file and
  // the entry, and nothing changes. Returns whether it was opened. When the plan's results
  // file exists and was made from it, its design method, its finished members (the progress
  // and the figures) and whether it can be resumed are read from it; otherwise ResultsNote
  // says why not.
  bool OpenPlan(const std::string& fileName);
  // Why the plan's results file cannot be resumed ("... holds the results of another plan:
  // Run replaces them"); "" when it can, or there is none.
  const std::string& ResultsNote() const { return resultsNote_; }
  // Asks before the program ends about a plan changed since it was opened or saved: saves it
  // on Yes (false if that fails or is cancelled), drops the changes on No; false on Cancel.
  bool ConfirmClose();
  // Writes the edited plan (a problem is reported as an error box naming the row, and nothing
  // is written), then reads it back as the plan. Returns whether it was saved.
  bool SavePlan(const std::string& fileName);
  // The same through the file dialogs; false when cancelled.
  bool OpenPlanDialog();
  bool SavePlanDialog();

  // The results file beside the plan: "<plan without .toml>.results.nc".
  std::string ResultsFileName() const;

  // Starts every member of the design on a worker thread (threads: every core), into a new
  // results file; an existing one is replaced only after the question "Replace the results
  // file ...?". A plan not saved is refused with kSaveBeforeRunMessage. Returns whether a
  // run started; failures (a site that cannot be read, a file that cannot be created) are
  // reported as error boxes.
  bool Run();
  // Starts the members the results file is missing. Returns whether a run started.
  bool Resume();
  // No further member starts; those in flight finish and are written (the run's feedback is
  // canceled). Returns at once; safe from any thread.
  void Stop();
  bool Running() const;
  // Whether the results file of the plan has members left to run (known after opening a
  // plan and after each run).
  bool CanResume() const { return !Running() && resumable_; }
  // Waits for the run to end and reports its failure, if any, as an error box. Call on the
  // user-interface thread once the progress says it no longer runs (or to wait for it).
  void FinishRun();

  // Called from the worker thread after each member and once when the run ends.
  void SetProgressObserver(std::function<void(const RunProgress&)> observer);
  RunProgress Progress() const;
  // The feedback of the run started last (nullptr before any): its progress is the members
  // finished of those this run started with, Stop cancels it, and it is finished once the
  // run has ended and the observer has seen its last progress.
  std::shared_ptr<Feedback> RunFeedback() const;

  // The outputs of the run's plan ("Cf", "cell2/Cf"), the figures' variables.
  std::vector<std::string> Variables() const;
  // The times at which a finished member recorded the variable: indices of the site's time
  // axis with their years, in order.
  std::vector<std::pair<std::size_t, double>> RecordedTimes(std::size_t variable) const;
  // Figures of the members finished so far (of the last run or the results file read), at
  // `time` (an index of the site's time axis) or, without one, at the last time the variable
  // was recorded. Empty or nullopt before any run.
  EnvelopeChartData Envelope(std::size_t variable) const;
  using TimeIndex = std::optional<std::size_t>;
  std::optional<TornadoChartData> Tornado(std::size_t variable, TimeIndex time = {}) const;
  std::optional<SobolChartData> Sobol(std::size_t variable, TimeIndex time = {}) const;
  std::optional<ConvergenceChartData> Convergence(std::size_t variable, TimeIndex time = {}) const;
  std::optional<MorrisChartData> Morris(std::size_t variable, TimeIndex time = {}) const;
  FailuresChartData Failures() const;
  std::optional<TornadoChartData> FailurePredictors() const;
  // Writes the values `figure` draws for the variable at `time`, as kvsorv-cli plot writes
  // them beside its picture, into ChartDataFileName(image); returns that name, or "" when the
  // figure draws nothing yet. EInOutError naming the file when it cannot be written.
  std::string WriteFigureData(Figure figure, std::size_t variable, TimeIndex time,
                              const std::string& image) const;
  // A copy of the finished members' outcomes.
  FinishedMembers Finished() const;

 private:
  bool Start(bool resume);
  // Reads the plan, its site and its design for a run, and opens the results file: the one
  // there when `resume`, with the members it holds, else a new one; `members` are those to
  // run. Nothing when that fails (shown as an error box).
  std::optional<ResultsFile> PrepareRun(bool resume, const std::string& resultsName,
                                        std::vector<std::size_t>& members);
  std::optional<ResultsFile> ResumeResults(const std::string& resultsName,
                                           std::vector<std::size_t>& members);
  // The worker thread: runs the members into the file, then ends the run.
  void RunWorker(const std::vector<std::size_t>& members, std::optional<ResultsFile>& file);
  void MemberWritten(std::size_t member, const MemberResult& result);
  void Edited() { changed_ = true; }
  void ReadResults();

  // The plan as opened, and its table.
  EnsemblePlan base_;
  std::vector<PlanRow> rows_;
  std::vector<CorrelationRow> correlationRows_;
  std::string resultsNote_;
  std::string planFile_;
  Method method_ = Method::kLatinHypercube;
  bool changed_ = false;
  bool resumable_ = false;

  template <typename Figure, typename At>
  std::optional<Figure> AtTime(std::size_t variable, TimeIndex time, At at) const;

  // The run: read-only while the worker runs.
  bool haveRun_ = false;
  EnsemblePlan runPlan_;
  EnsembleSite site_;
  Design design_;
  std::thread worker_;

  mutable std::mutex mutex_;  // guards what follows
  std::shared_ptr<Feedback> feedback_;
  FinishedMembers finished_;
  bool running_ = false;
  bool stopped_ = false;
  std::size_t finishedThisRun_ = 0;
  std::chrono::steady_clock::time_point started_;
  std::string failure_;
  std::function<void(const RunProgress&)> observer_;
};

}  // namespace kvsorv::ensemble
