#include "ensemble_window/ensemble_session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

#include "charts/ensemble_charts_csv.h"
#include "charts/ensemble_figures.h"
#include "display/chart_file.h"
#include "ensemble/ensemble_runner.h"
#include "ensemble/results_file.h"
#include "ensemble/sampling.h"
#include "ensemble_window/plan_writer.h"
#include "program/prompter.h"

namespace kvsorv::ensemble {

namespace {

std::string Filled(const char* pattern, const std::string& name) {
  std::string text = pattern;
  text.replace(text.find("%s"), 2, name);
  return text;
}

void ShowError(const std::string& text) {
  CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk, text);
}

FileDialogRequest PlanDialog(const std::string& title, const std::string& initial) {
  return {.title = title,
          .filter = "Ensemble plans (*.toml)|*.toml|All files|*.*",
          .defaultExtension = "toml",
          .initialName = initial};
}

int Threads() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// "4 s", "2 min 5 s", "1 h 3 min"; "–" when unknown.
std::string Duration(double seconds) {
  if (!(seconds > 0) || !std::isfinite(seconds)) return "–";
  const long s = std::lround(seconds);
  if (s < 60) return std::to_string(s) + " s";
  if (s < 3600) return std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s";
  return std::to_string(s / 3600) + " h " + std::to_string(s % 3600 / 60) + " min";
}

}  // namespace

std::string ProgressText(const RunProgress& p) {
  if (p.total == 0) return "Not run yet";
  const std::string of = std::to_string(p.finished) + " of " + std::to_string(p.total);
  const std::string failed = std::to_string(p.failed) + " failed";
  const std::string rest = "Resume runs the other " + std::to_string(p.total - p.finished);
  if (p.running) {
    std::string text = of + " members, " + failed;
    if (p.membersPerSecond > 0) {
      char rate[48];
      std::snprintf(rate, sizeof rate, ", %.*f members/s", p.membersPerSecond < 10 ? 2 : 1,
                    p.membersPerSecond);
      text += rate;
    }
    return text + ", " + Duration(p.secondsLeft) + " left";
  }
  if (p.finished == p.total) return of + " members, " + failed;
  if (p.stopped) return "Stopped: " + of + " members kept (" + failed + "); " + rest;
  return of + " members finished (" + failed + "); " + rest;
}

const char* MembersCaption(Method method) {
  switch (method) {
    case Method::kSobol:
      return "Base &points:";
    case Method::kMorris:
      return "&Trajectories:";
    default:
      return "&Members:";
  }
}

EnsembleSession::EnsembleSession() {
  base_.members = 100;
  base_.seed = 1;
}

EnsembleSession::~EnsembleSession() {
  Stop();
  if (worker_.joinable()) worker_.join();
}

void EnsembleSession::SetRow(std::size_t row, PlanRow value) {
  if (rows_.at(row) == value) return;
  rows_[row] = std::move(value);
  Edited();
}

void EnsembleSession::AddRow() {
  rows_.push_back({.symbol = {}, .distribution = "uniform", .arguments = {}});
  Edited();
}

void EnsembleSession::RemoveRow(std::size_t row) {
  const std::string symbol = rows_.at(row).symbol;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
  // A parameter no longer varied takes its correlations with it.
  std::erase_if(correlationRows_, [&](const CorrelationRow& c) {
    return !symbol.empty() && (c.a == symbol || c.b == symbol);
  });
  Edited();
}

void EnsembleSession::SetCorrelation(std::size_t row, CorrelationRow value) {
  if (correlationRows_.at(row) == value) return;
  correlationRows_[row] = std::move(value);
  Edited();
}

void EnsembleSession::AddCorrelation() {
  correlationRows_.push_back({});
  Edited();
}

void EnsembleSession::RemoveCorrelation(std::size_t row) {
  correlationRows_.erase(correlationRows_.begin() + static_cast<std::ptrdiff_t>(row));
  Edited();
}

std::string EnsembleSession::CorrelationProblem(std::size_t row) const {
  std::vector<std::string> symbols;
  for (const PlanRow& r : rows_) symbols.push_back(r.symbol);
  return CorrelationRowProblem(correlationRows_, symbols, row);
}

std::string EnsembleSession::DesignSizeText() const {
  const std::size_t k = rows_.size();
  const std::size_t n = DesignSize(method_, base_.members, k);
  const std::string size = "Run makes " + std::to_string(n) + (n == 1 ? " member" : " members");
  const std::string parameters = std::to_string(k) + (k == 1 ? " parameter" : " parameters");
  const std::string members = std::to_string(base_.members);
  switch (method_) {
    case Method::kSobol:
      return size + ": " + members + " base points x (" + parameters + " + 2).";
    case Method::kMorris:
      return size + ": " + members + " trajectories x (" + parameters + " + 1).";
    case Method::kOneAtATime:
      return size + ": the centre, and 4 steps of each of " + parameters + ".";
    default:
      return size + ".";
  }
}

void EnsembleSession::SetMembers(int members) {
  if (members == base_.members) return;
  base_.members = members;
  Edited();
}

void EnsembleSession::SetSeed(std::uint64_t seed) {
  if (seed == base_.seed) return;
  base_.seed = seed;
  Edited();
}

EnsemblePlan EnsembleSession::EditedPlan() const {
  if (rows_.empty()) throw EPlanError("the plan varies no parameter: add a row");
  if (base_.outputs.empty()) throw EPlanError("the plan keeps no output: open a plan that does");
  if (base_.members < 1) throw EPlanError("members must be at least 1");
  EnsemblePlan plan = base_;
  plan.parameters.clear();
  for (std::size_t r = 0; r < rows_.size(); ++r) plan.parameters.push_back(ParameterOf(rows_, r));
  plan.correlations = CorrelationsOf(correlationRows_, plan.parameters);
  return plan;
}

bool EnsembleSession::OpenPlan(const std::string& fileName) {
  if (Running()) return false;
  EnsemblePlan plan;
  try {
    plan = ReadPlan(fileName);
  } catch (const std::exception& e) {
    ShowError(e.what());
    return false;
  }
  rows_.clear();
  for (const VariedParameter& p : plan.parameters) rows_.push_back(RowOf(p));
  correlationRows_ = CorrelationRowsOf(plan);
  base_ = std::move(plan);
  planFile_ = fileName;
  changed_ = false;
  // A plan drawing from a posterior takes whole draws of it: the Monte Carlo design alone.
  if (!base_.posteriorFile.empty()) method_ = Method::kMonteCarlo;
  ReadResults();
  return true;
}

void EnsembleSession::ReadResults() {
  resumable_ = false;
  resultsNote_.clear();
  haveRun_ = false;
  stopped_ = false;
  {
    const std::lock_guard lock(mutex_);
    finished_ = FinishedMembers();
  }
  const std::string name = ResultsFileName();
  if (!std::filesystem::exists(name)) return;
  try {
    const ResultsFile results = ResultsFile::OpenToRead(name);
    if (results.PlanFingerprint() != FingerprintText(base_.hash)) {
      resultsNote_ = "'" + name + "' holds the results of another plan: Run replaces them";
      return;
    }
    if (const auto method = MethodNamed(results.Describe().designMethod)) method_ = *method;
    runPlan_ = base_;
    site_ = LoadSite(runPlan_);
    design_ = SampleDesign(runPlan_, method_);
    CheckMadeFrom(results, runPlan_, design_);
    const std::vector<MemberStatus> statuses = results.CheckedStatuses();
    FinishedMembers finished(design_.rows.size(), site_.times.size(), site_.variables.size());
    for (std::size_t m = 0; m < statuses.size(); ++m)
      if (statuses[m] != MemberStatus::kMissing) finished.Add(m, results.ReadMember(m));
    resumable_ = finished.Count() < finished.Members();
    haveRun_ = true;
    const std::lock_guard lock(mutex_);
    finished_ = std::move(finished);
  } catch (const std::exception& e) {
    // Not a results file, or not of this plan and site: a run asks before replacing it.
    resultsNote_ = std::string(e.what()) + ": Run replaces it";
  }
}

bool EnsembleSession::ConfirmClose() {
  if (!changed_) return true;
  const std::string name =
      planFile_.empty() ? "new plan" : std::filesystem::path(planFile_).filename().string();
  switch (CurrentPrompter().Message(MessageKind::kConfirmation, MessageButtons::kYesNoCancel,
                                    Filled(kSavePlanBeforeExitQuestion, name))) {
    case Answer::kYes:
      return planFile_.empty() ? SavePlanDialog() : SavePlan(planFile_);
    case Answer::kNo:
      return true;
    default:
      return false;
  }
}

bool EnsembleSession::SavePlan(const std::string& fileName) {
  EnsemblePlan plan;
  try {
    plan = EditedPlan();
    WritePlan(plan, fileName);
  } catch (const std::exception& e) {
    ShowError(e.what());
    return false;
  }
  const Method method = method_;
  const bool opened = OpenPlan(fileName);
  method_ = method;
  return opened;
}

bool EnsembleSession::OpenPlanDialog() {
  auto request = PlanDialog("Open ensemble plan", planFile_);
  request.fileMustExist = true;
  const auto chosen = CurrentPrompter().OpenFile(request);
  return chosen && !chosen->empty() && OpenPlan(*chosen);
}

bool EnsembleSession::SavePlanDialog() {
  auto request = PlanDialog("Save ensemble plan", planFile_);
  request.confirmOverwrite = true;
  const auto chosen = CurrentPrompter().SaveFile(request);
  return chosen && !chosen->empty() && SavePlan(*chosen);
}

std::string EnsembleSession::ResultsFileName() const {
  std::filesystem::path p(planFile_);
  if (p.extension() == ".toml") p.replace_extension();
  return p.string() + ".results.nc";
}

bool EnsembleSession::Run() {
  return Start(false);
}

bool EnsembleSession::Resume() {
  return Start(true);
}

bool EnsembleSession::Start(bool resume) {
  if (Running()) return false;
  FinishRun();
  if (planFile_.empty() || changed_) {
    CurrentPrompter().Message(MessageKind::kWarning, MessageButtons::kOk, kSaveBeforeRunMessage);
    return false;
  }
  const std::string resultsName = ResultsFileName();
  const bool exists = std::filesystem::exists(resultsName);
  if (!resume && exists &&
      CurrentPrompter().Message(MessageKind::kConfirmation, MessageButtons::kYesNo,
                                Filled(kReplaceResultsQuestion, resultsName)) != Answer::kYes)
    return false;
  std::vector<std::size_t> members;
  std::optional<ResultsFile> results = PrepareRun(resume && exists, resultsName, members);
  if (!results) return false;
  if (members.empty()) {
    resumable_ = false;
    CurrentPrompter().Message(MessageKind::kInformation, MessageButtons::kOk,
                              Filled(kNothingToResumeMessage, resultsName));
    return false;
  }
  resultsNote_.clear();
  {
    const std::lock_guard lock(mutex_);
    feedback_ = std::make_shared<Feedback>();
    running_ = true;
    stopped_ = false;
    finishedThisRun_ = 0;
    started_ = std::chrono::steady_clock::now();
  }
  worker_ = std::thread([this, members = std::move(members), file = std::move(results)]() mutable {
    RunWorker(members, file);
  });
  return true;
}

std::optional<ResultsFile> EnsembleSession::PrepareRun(bool resume, const std::string& resultsName,
                                                       std::vector<std::size_t>& members) {
  try {
    runPlan_ = ReadPlan(planFile_);
    site_ = LoadSite(runPlan_);
    design_ = SampleDesign(runPlan_, method_);
    haveRun_ = true;
    const std::size_t n = design_.rows.size();
    members = ShardMembers(n, 1, 1);
    {
      const std::lock_guard lock(mutex_);
      finished_ = FinishedMembers(n, site_.times.size(), site_.variables.size());
      failure_.clear();
    }
    if (resume) return ResumeResults(resultsName, members);
    return ResultsFile::Create(resultsName, runPlan_, site_, design_, KVSORV_VERSION);
  } catch (const std::exception& e) {
    ShowError(e.what());
    return std::nullopt;
  }
}

std::optional<ResultsFile> EnsembleSession::ResumeResults(const std::string& resultsName,
                                                          std::vector<std::size_t>& members) {
  std::optional<ResultsFile> results;
  results.emplace(ResultsFile::Open(resultsName, runPlan_, design_));
  const std::lock_guard lock(mutex_);
  const std::vector<MemberStatus> statuses = results->CheckedStatuses();
  for (std::size_t m = 0; m < design_.rows.size(); ++m)
    if (statuses[m] != MemberStatus::kMissing) finished_.Add(m, results->ReadMember(m));
  members = UnfinishedMembers(*results, members, false);
  return results;
}

void EnsembleSession::RunWorker(const std::vector<std::size_t>& members,
                                std::optional<ResultsFile>& file) {
  const std::shared_ptr<Feedback> feedback = RunFeedback();
  const auto memberWritten = [this](std::size_t member, const MemberResult& result) {
    MemberWritten(member, result);
  };
  try {
    RunMembers(runPlan_, site_, design_, members, Threads(), *file, feedback.get(), memberWritten);
    file->Close();  // every member written is on the disk, or the failure is shown
  } catch (const std::exception& e) {
    const std::lock_guard lock(mutex_);
    failure_ = e.what();
  }
  file.reset();
  std::function<void(const RunProgress&)> observer;
  {
    const std::lock_guard lock(mutex_);
    running_ = false;
    resumable_ = finished_.Count() < finished_.Members();
    stopped_ = feedback->IsCanceled() && resumable_;
    observer = observer_;
  }
  if (observer) observer(Progress());
  feedback->Finish();
}

void EnsembleSession::MemberWritten(std::size_t member, const MemberResult& result) {
  std::function<void(const RunProgress&)> observer;
  {
    const std::lock_guard lock(mutex_);
    finished_.Add(member, result);
    ++finishedThisRun_;
    observer = observer_;
  }
  if (observer) observer(Progress());
}

void EnsembleSession::Stop() {
  const std::lock_guard lock(mutex_);
  if (feedback_) feedback_->Cancel();
}

bool EnsembleSession::Running() const {
  const std::lock_guard lock(mutex_);
  return running_;
}

void EnsembleSession::FinishRun() {
  if (worker_.joinable()) worker_.join();
  std::string failure;
  {
    const std::lock_guard lock(mutex_);
    failure.swap(failure_);
  }
  if (!failure.empty()) ShowError(failure);
}

void EnsembleSession::SetProgressObserver(std::function<void(const RunProgress&)> observer) {
  const std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

std::shared_ptr<Feedback> EnsembleSession::RunFeedback() const {
  const std::lock_guard lock(mutex_);
  return feedback_;
}

RunProgress EnsembleSession::Progress() const {
  const std::lock_guard lock(mutex_);
  RunProgress p;
  p.finished = finished_.Count();
  p.total = finished_.Members();
  p.failed = finished_.Failures();
  p.running = running_;
  p.stopped = stopped_;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  if (seconds > 0 && finishedThisRun_ > 0) {
    p.membersPerSecond = static_cast<double>(finishedThisRun_) / seconds;
    p.secondsLeft = static_cast<double>(p.total - p.finished) / p.membersPerSecond;
  }
  return p;
}

std::vector<std::string> EnsembleSession::Variables() const {
  return haveRun_ ? site_.variables : std::vector<std::string>{};
}

EnvelopeChartData EnsembleSession::Envelope(std::size_t variable) const {
  if (!haveRun_) return {};
  const std::lock_guard lock(mutex_);
  return EnvelopeSoFar({runPlan_, site_, design_}, finished_, variable);
}

std::vector<std::pair<std::size_t, double>> EnsembleSession::RecordedTimes(
    std::size_t variable) const {
  std::vector<std::pair<std::size_t, double>> times;
  if (!haveRun_) return times;
  const std::lock_guard lock(mutex_);
  for (const std::size_t t : ensemble::RecordedTimes(finished_, variable))
    times.emplace_back(t, site_.times.at(t));
  return times;
}

// A figure of the members finished, at `time` or at the last time the variable was recorded.
template <typename Figure, typename At>
std::optional<Figure> EnsembleSession::AtTime(std::size_t variable, TimeIndex time, At at) const {
  if (!haveRun_) return std::nullopt;
  const std::lock_guard lock(mutex_);
  if (time && *time >= finished_.Times()) time.reset();
  if (!time) time = LastRecordedTime(finished_, variable);
  if (!time) return std::nullopt;
  return at({runPlan_, site_, design_}, finished_, *time, variable);
}

std::optional<TornadoChartData> EnsembleSession::Tornado(std::size_t variable,
                                                         TimeIndex time) const {
  return AtTime<TornadoChartData>(variable, time, TornadoAt);
}

std::optional<SobolChartData> EnsembleSession::Sobol(std::size_t variable, TimeIndex time) const {
  return AtTime<SobolChartData>(variable, time, SobolAt);
}

std::optional<ConvergenceChartData> EnsembleSession::Convergence(std::size_t variable,
                                                                 TimeIndex time) const {
  return AtTime<ConvergenceChartData>(variable, time, ConvergenceAt);
}

std::optional<MorrisChartData> EnsembleSession::Morris(std::size_t variable, TimeIndex time) const {
  return AtTime<MorrisChartData>(variable, time, MorrisAt);
}

FailuresChartData EnsembleSession::Failures() const {
  const std::lock_guard lock(mutex_);
  return FailuresOf(finished_);
}

std::optional<TornadoChartData> EnsembleSession::FailurePredictors() const {
  if (!haveRun_) return std::nullopt;
  const std::lock_guard lock(mutex_);
  return FailurePredictorsOf({runPlan_, site_, design_}, finished_);
}

std::string EnsembleSession::WriteFigureData(Figure figure, std::size_t variable, TimeIndex time,
                                             const std::string& image) const {
  const std::string csv = ChartDataFileName(image);
  const auto write = [&](const auto& data, auto writer) {
    if (!data) return std::string();
    writer(csv, *data);
    return csv;
  };
  switch (figure) {
    case Figure::kEnvelope:
      return haveRun_ ? write(std::optional(Envelope(variable)), WriteEnvelopeChartCsv) : "";
    case Figure::kTornado:
      return write(Tornado(variable, time), WriteTornadoChartCsv);
    case Figure::kSobol:
      return write(Sobol(variable, time), WriteSobolChartCsv);
    case Figure::kConvergence:
      return write(Convergence(variable, time), WriteConvergenceChartCsv);
    case Figure::kMorris:
      return write(Morris(variable, time), WriteMorrisChartCsv);
    case Figure::kFailures:
      return write(std::optional(Failures()), WriteFailuresChartCsv);
  }
  return "";
}

FinishedMembers EnsembleSession::Finished() const {
  const std::lock_guard lock(mutex_);
  return finished_;
}

}  // namespace kvsorv::ensemble
