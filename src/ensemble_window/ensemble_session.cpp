#include "ensemble_window/ensemble_session.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "ensemble/ensemble_runner.h"
#include "ensemble/results_file.h"
#include "ensemble_window/ensemble_figures.h"
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

}  // namespace

EnsembleSession::EnsembleSession() {
  base_.members = 100;
  base_.seed = 1;
}

EnsembleSession::~EnsembleSession() {
  stop_ = true;
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
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
  Edited();
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
  // Correlations follow their parameters by symbol; those of parameters no longer varied go.
  plan.correlations.clear();
  const auto position = [&](const std::string& symbol) {
    for (std::size_t j = 0; j < plan.parameters.size(); ++j)
      if (plan.parameters[j].symbol == symbol) return static_cast<int>(j);
    return -1;
  };
  for (const RankCorrelation& c : base_.correlations) {
    const int a = position(base_.parameters.at(static_cast<std::size_t>(c.a)).symbol);
    const int b = position(base_.parameters.at(static_cast<std::size_t>(c.b)).symbol);
    if (a >= 0 && b >= 0) plan.correlations.push_back({a, b, c.rho});
  }
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
  base_ = std::move(plan);
  planFile_ = fileName;
  changed_ = false;
  resumable_ = false;
  if (std::filesystem::exists(ResultsFileName())) {
    try {
      const ResultsFile results = ResultsFile::OpenToRead(ResultsFileName());
      const auto statuses = results.Statuses();
      resumable_ = std::count(statuses.begin(), statuses.end(), MemberStatus::kMissing) > 0;
    } catch (const std::exception&) {
      resumable_ = false;  // not a results file: a run asks before replacing it
    }
  }
  return true;
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
  std::optional<ResultsFile> results;
  std::vector<std::size_t> members;
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
    if (resume && exists) {
      results.emplace(ResultsFile::Open(resultsName, runPlan_, design_));
      const std::lock_guard lock(mutex_);
      const std::vector<MemberStatus> statuses = results->CheckedStatuses();
      for (std::size_t m = 0; m < n; ++m)
        if (statuses[m] != MemberStatus::kMissing) finished_.Add(m, results->ReadMember(m));
      members = UnfinishedMembers(*results, members, false);
    } else {
      results.emplace(ResultsFile::Create(resultsName, runPlan_, site_, design_, KVSORV_VERSION));
    }
  } catch (const std::exception& e) {
    ShowError(e.what());
    return false;
  }
  if (members.empty()) {
    resumable_ = false;
    CurrentPrompter().Message(MessageKind::kInformation, MessageButtons::kOk,
                              Filled(kNothingToResumeMessage, resultsName));
    return false;
  }
  stop_ = false;
  {
    const std::lock_guard lock(mutex_);
    running_ = true;
    finishedThisRun_ = 0;
    started_ = std::chrono::steady_clock::now();
  }
  worker_ = std::thread([this, members = std::move(members), file = std::move(results)]() mutable {
    RunControl control;
    control.stop = &stop_;
    control.memberWritten = [this](std::size_t member, const MemberResult& result) {
      std::function<void(const RunProgress&)> observer;
      {
        const std::lock_guard lock(mutex_);
        finished_.Add(member, result);
        ++finishedThisRun_;
        observer = observer_;
      }
      if (observer) observer(Progress());
    };
    try {
      RunMembers(runPlan_, site_, design_, members, Threads(), *file, {}, control);
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
      observer = observer_;
    }
    if (observer) observer(Progress());
  });
  return true;
}

void EnsembleSession::Stop() {
  stop_ = true;
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

RunProgress EnsembleSession::Progress() const {
  const std::lock_guard lock(mutex_);
  RunProgress p;
  p.finished = finished_.Count();
  p.total = finished_.Members();
  p.failed = finished_.Failures();
  p.running = running_;
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

// A figure of the members finished, at the last time the variable was recorded.
template <typename Figure, typename At>
std::optional<Figure> EnsembleSession::AtLastTime(std::size_t variable, At at) const {
  if (!haveRun_) return std::nullopt;
  const std::lock_guard lock(mutex_);
  const auto time = LastRecordedTime(finished_, variable);
  if (!time) return std::nullopt;
  return at({runPlan_, site_, design_}, finished_, *time, variable);
}

std::optional<TornadoChartData> EnsembleSession::Tornado(std::size_t variable) const {
  return AtLastTime<TornadoChartData>(variable, TornadoAt);
}

std::optional<SobolChartData> EnsembleSession::Sobol(std::size_t variable) const {
  return AtLastTime<SobolChartData>(variable, SobolAt);
}

std::optional<ConvergenceChartData> EnsembleSession::Convergence(std::size_t variable) const {
  return AtLastTime<ConvergenceChartData>(variable, ConvergenceAt);
}

std::optional<MorrisChartData> EnsembleSession::Morris(std::size_t variable) const {
  return AtLastTime<MorrisChartData>(variable, MorrisAt);
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

FinishedMembers EnsembleSession::Finished() const {
  const std::lock_guard lock(mutex_);
  return finished_;
}

}  // namespace kvsorv::ensemble
