#include "calibration_window/calibration_session.h"

#include <unistd.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#include "calibration/calibration_model.h"
#include "calibration/calibration_run.h"
#include "calibration/fit_run.h"
#include "ensemble/plan.h"
#include "ensemble/posterior_draws.h"
#include "files/param_file.h"
#include "files/text_writer.h"
#include "model/catalogue.h"
#include "program/global_tables.h"
#include "program/prompter.h"
#include "program/run_settings.h"
#include "tasks/worker_pool.h"

namespace kvsorv::calibration {

namespace {

namespace fs = std::filesystem;

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
          .filter = "Calibration plans (*.toml)|*.toml|All files|*.*",
          .defaultExtension = "toml",
          .initialName = initial};
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::string Beside(const std::string& planFile, const std::string& suffix) {
  fs::path p(planFile);
  if (p.extension() == ".toml") p.replace_extension();
  return p.string() + suffix;
}

// The plan's text read by ReadCalibrationPlan from a scratch file beside `fileName` (so that
// relative names resolve alike); what it refuses is thrown with the scratch file's name
// replaced by `fileName`. Keeps the scratch file when `keep`, for the caller to rename.
CalibrationPlan ReadText(const std::string& text, const std::string& fileName,
                         const std::string& scratch) {
  {
    TextWriter out(scratch);
    out.Write(text);
    out.Close();
  }
  try {
    return ReadCalibrationPlan(scratch);
  } catch (const EObservationError& e) {
    fs::remove(scratch);
    throw EObservationError(Replaced(e.what(), scratch, fileName));
  } catch (const std::exception& e) {
    fs::remove(scratch);
    throw ensemble::EPlanError(Replaced(e.what(), scratch, fileName));
  }
}

std::string ScratchFor(const std::string& fileName) {
  return Beside(fileName, ".check-" + std::to_string(getpid()) + ".toml");
}

}  // namespace

CalibrationSession::CalibrationSession() {
  NewPlan();
  changed_ = false;
}

CalibrationSession::~CalibrationSession() {
  Stop();
  if (worker_.joinable()) worker_.join();
}

void CalibrationSession::SetRow(std::size_t row, ensemble::PlanRow value) {
  if (plan_.rows.at(row) == value) return;
  plan_.rows[row] = std::move(value);
  Edited();
}

void CalibrationSession::AddRow() {
  plan_.rows.push_back({.symbol = {}, .distribution = "uniform", .arguments = {}});
  Edited();
}

void CalibrationSession::RemoveRow(std::size_t row) {
  plan_.starts.erase(plan_.rows.at(row).symbol);
  plan_.rows.erase(plan_.rows.begin() + static_cast<std::ptrdiff_t>(row));
  Edited();
}

void CalibrationSession::SetObservationFiles(std::vector<ObservationFile> files) {
  if (files == plan_.observations) return;
  plan_.observations = std::move(files);
  Edited();
}

void CalibrationSession::SetSampler(const SamplerSettings& s) {
  SamplerSettings& m = plan_.sampler;
  if (s.chains == m.chains && s.generations == m.generations && s.burnIn == m.burnIn &&
      s.thinning == m.thinning && s.archiveEvery == m.archiveEvery && s.adaptAfter == m.adaptAfter)
    return;
  m = s;
  Edited();
}

void CalibrationSession::SetTimes(const RunTimes& t) {
  RunTimes& m = plan_.site.times;
  if (t.start == m.start && t.stop == m.stop && t.step == m.step && t.outputStep == m.outputStep)
    return;
  m = t;
  Edited();
}

void CalibrationSession::NewPlan() {
  if (Running()) return;
  plan_ = {};
  plan_.site.paramFile = RunSettings.ParamFileName;
  plan_.site.driverFile = RunSettings.DriverFileName;
  plan_.site.times = {.start = RunSettings.StartTime,
                      .stop = RunSettings.StopTime,
                      .step = RunSettings.TimeStep,
                      .outputStep = RunSettings.OutputStep};
  plan_.site.seed = 1;
  plan_.sampler.chains = DefaultChains();
  plan_.sampler.burnIn = plan_.sampler.generations / 2;
  planFile_.clear();
  read_.reset();
  fit_.reset();
  model_.reset();
  {
    const std::lock_guard lock(mutex_);
    chains_.reset();
    chainsNote_.clear();
  }
  changed_ = true;
}

bool CalibrationSession::OpenPlan(const std::string& fileName) {
  if (Running()) return false;
  FinishRun();
  CalibrationPlan plan;
  try {
    plan = ReadCalibrationPlan(fileName);
  } catch (const std::exception& e) {
    ShowError(e.what());
    return false;
  }
  plan_ = EditedOf(plan);
  read_ = std::move(plan);
  planFile_ = fileName;
  changed_ = false;
  ReadBack();
  return true;
}

void CalibrationSession::ReadBack() {
  model_.reset();
  fit_.reset();
  std::shared_ptr<const ChainsContents> chains;
  std::string note;
  const std::string name = ChainsFileName();
  if (fs::exists(name)) {
    try {
      auto read = std::make_shared<ChainsContents>(ReadChains(name));
      if (read->header.planHash != read_->hash)
        note = "'" + name + "' holds the chains of another plan: Run replaces them";
      else {
        method_ = read->header.method;
        chains = std::move(read);
      }
    } catch (const std::exception& e) {
      note = std::string(e.what()) + ": Run replaces it";
    }
  }
  if (fs::exists(FitFileName())) {
    try {
      FitFileContents fit = ReadFitFile(FitFileName());
      if (fit.planHash == read_->hash) fit_ = std::move(fit);
    } catch (const std::exception&) {
      // A fit file that cannot be read is made again by the next fit.
    }
  }
  const std::lock_guard lock(mutex_);
  chains_ = std::move(chains);
  chainsNote_ = std::move(note);
}

bool CalibrationSession::SavePlan(const std::string& fileName) {
  const std::string scratch = ScratchFor(fileName);
  try {
    ReadText(CalibrationPlanText(plan_, fileName), fileName, scratch);
    fs::rename(scratch, fileName);
  } catch (const std::exception& e) {
    ShowError(e.what());
    return false;
  }
  const std::string method = method_;
  const bool opened = OpenPlan(fileName);
  if (opened && !Chains()) method_ = method;
  return opened;
}

bool CalibrationSession::OpenPlanDialog() {
  auto request = PlanDialog("Open calibration plan", planFile_);
  request.fileMustExist = true;
  const auto chosen = CurrentPrompter().OpenFile(request);
  return chosen && !chosen->empty() && OpenPlan(*chosen);
}

bool CalibrationSession::SavePlanDialog() {
  auto request = PlanDialog("Save calibration plan", planFile_);
  request.confirmOverwrite = true;
  const auto chosen = CurrentPrompter().SaveFile(request);
  return chosen && !chosen->empty() && SavePlan(*chosen);
}

bool CalibrationSession::ConfirmClose() {
  if (!changed_ || (planFile_.empty() && plan_.rows.empty())) return true;
  const std::string name = planFile_.empty() ? "new plan" : fs::path(planFile_).filename().string();
  switch (CurrentPrompter().Message(MessageKind::kConfirmation, MessageButtons::kYesNoCancel,
                                    Filled(kSaveCalibrationBeforeExitQuestion, name))) {
    case Answer::kYes:
      return planFile_.empty() ? SavePlanDialog() : SavePlan(planFile_);
    case Answer::kNo:
      return true;
    default:
      return false;
  }
}

std::vector<ObservationLine> CalibrationSession::Observations() const {
  std::vector<ObservationLine> lines;
  for (const ObservationFile& f : plan_.observations) {
    try {
      for (const ObservationRow& r : ReadObservationTable(f.file))
        lines.push_back({.time = r.time,
                         .output = r.symbol,
                         .value = r.value,
                         .error = r.sd ? *r.sd : *r.relativeError * std::fabs(r.value)});
    } catch (const std::exception&) {
      // ObservationProblem names it.
    }
  }
  return lines;
}

std::string CalibrationSession::ObservationProblem() const {
  const std::string name =
      planFile_.empty() ? (fs::current_path() / "new.toml").string() : planFile_;
  try {
    const std::string text = CalibrationPlanText(plan_, name);
    const std::string scratch = ScratchFor(name);
    ReadText(text, name, scratch);
    fs::remove(scratch);
  } catch (const EObservationError& e) {
    return e.what();
  } catch (const std::exception&) {
    // Not a matter of the observations: saving names it.
  }
  return "";
}

std::string CalibrationSession::FitFileName() const {
  return Beside(planFile_, ".fit.nc");
}

std::string CalibrationSession::ChainsFileName() const {
  return Beside(planFile_, ".chains.nc");
}

bool CalibrationSession::Fit() {
  return Start(Job::kFit, false);
}

bool CalibrationSession::Sample() {
  return Start(Job::kSample, false);
}

bool CalibrationSession::Resume() {
  return Start(Job::kSample, true);
}

bool CalibrationSession::Continue() {
  const std::size_t to = ContinueTo();
  return to > 0 && Start(Job::kSample, true, static_cast<int>(to));
}

std::size_t CalibrationSession::ContinueTo() const {
  if (Running() || CanResume()) return 0;
  const auto chains = Chains();
  if (!chains || chains->generations == 0) return 0;
  const ChainsDiagnostics d = DiagnoseChains(*chains, {});
  if (d.converged) return 0;
  // Too few generations past the burn-in to judge: as many again.
  const std::size_t more = d.moreGenerations > 0 ? d.moreGenerations : chains->generations;
  return chains->generations + more;
}

bool CalibrationSession::Start(Job job, bool resume, std::optional<int> generations) {
  if (Running()) return false;
  FinishRun();
  if (planFile_.empty() || changed_ || !read_) {
    CurrentPrompter().Message(MessageKind::kWarning, MessageButtons::kOk,
                              kSaveCalibrationFirstMessage);
    return false;
  }
  const std::string chains = ChainsFileName();
  if (job == Job::kSample && !resume && fs::exists(chains)) {
    if (CurrentPrompter().Message(MessageKind::kConfirmation, MessageButtons::kYesNo,
                                  Filled(kReplaceChainsQuestion, chains)) != Answer::kYes)
      return false;
    std::error_code ignored;
    fs::remove(chains, ignored);
  }
  CalibrationPlan plan;
  try {
    plan = ReadCalibrationPlan(planFile_);
  } catch (const std::exception& e) {
    ShowError(e.what());
    return false;
  }
  {
    const std::lock_guard lock(mutex_);
    feedback_ = std::make_shared<Feedback>();
    job_ = job;
    failure_.clear();
    chainsNote_.clear();
    if (job == Job::kSample && !resume) chains_.reset();
  }
  worker_ = std::thread([this, job, resume, generations, plan = std::move(plan)]() mutable {
    Worker(job, resume, generations, std::move(plan));
  });
  return true;
}

void CalibrationSession::Worker(Job job, bool resume, std::optional<int> generations,
                                CalibrationPlan plan) {
  const std::shared_ptr<Feedback> feedback = RunFeedback();
  const std::string chainsName = ChainsFileName();
  // The chains file is read on this thread, the one writing it, after each sync.
  const auto readChains = [&] {
    try {
      auto chains = std::make_shared<const ChainsContents>(ReadChains(chainsName));
      const std::lock_guard lock(mutex_);
      chains_ = std::move(chains);
    } catch (const std::exception&) {
      // Not yet written: the next sync reads it.
    }
  };
  try {
    const CalibrationModel model(plan);
    if (job == Job::kFit) {
      feedback->SetMessage("Fitting the parameters by least squares…");
      const FitResult fit = FitPlan(model, tasks::HardwareThreads());
      FitFileContents contents = FitContents(SampledNames(plan), fit, plan.hash);
      contents.names.resize(plan.site.parameters.size());
      WriteFitFile(FitFileName(), contents, KVSORV_VERSION);
      feedback->SetMessage("Fit: " + fit.stopReason + " after " + std::to_string(fit.evaluations) +
                           " runs (" + std::to_string(fit.failures) + " failed)");
    } else {
      feedback->OnMessage([&](const std::string&) { readChains(); });
      std::string startFrom;
      if (!resume && fs::exists(FitFileName())) {
        try {
          if (ReadFitFile(FitFileName()).planHash == plan.hash) startFrom = FitFileName();
        } catch (const std::exception&) {
        }
      }
      CalibrationOptions options{.method = method_,
                                 .chainsFile = chainsName,
                                 .resume = resume,
                                 .generations = generations,
                                 .threads = tasks::HardwareThreads(),
                                 .startFrom = startFrom,
                                 .version = KVSORV_VERSION};
      RunCalibration(model, options, *feedback);
      feedback->OnMessage({});
      readChains();
    }
  } catch (const std::exception& e) {
    feedback->OnMessage({});
    readChains();
    const std::lock_guard lock(mutex_);
    failure_ = e.what();
  }
  {
    const std::lock_guard lock(mutex_);
    job_ = Job::kNone;
  }
  feedback->Finish();
}

void CalibrationSession::Stop() {
  const std::lock_guard lock(mutex_);
  if (feedback_) feedback_->Cancel();
}

bool CalibrationSession::Running() const {
  return RunningJob() != Job::kNone;
}

Job CalibrationSession::RunningJob() const {
  const std::lock_guard lock(mutex_);
  return job_;
}

bool CalibrationSession::CanResume() const {
  if (Running() || !read_) return false;
  const auto chains = Chains();
  return chains &&
         chains->generations < static_cast<std::size_t>(chains->header.sampler.generations);
}

void CalibrationSession::FinishRun() {
  if (!worker_.joinable()) return;
  worker_.join();
  std::string failure;
  {
    const std::lock_guard lock(mutex_);
    failure.swap(failure_);
  }
  if (fs::exists(FitFileName())) {
    try {
      FitFileContents fit = ReadFitFile(FitFileName());
      if (read_ && fit.planHash == read_->hash) fit_ = std::move(fit);
    } catch (const std::exception&) {
    }
  }
  if (!failure.empty()) ShowError(failure);
}

std::shared_ptr<Feedback> CalibrationSession::RunFeedback() const {
  const std::lock_guard lock(mutex_);
  return feedback_;
}

std::string CalibrationSession::ProgressText() const {
  const std::lock_guard lock(mutex_);
  if (job_ != Job::kNone && feedback_) {
    const std::string message = feedback_->Message();
    if (!message.empty()) return message;
    return job_ == Job::kFit ? "Fitting…" : "Drawing the chains' starts…";
  }
  if (!chainsNote_.empty()) return chainsNote_;
  if (!chains_) {
    if (feedback_ && !feedback_->Message().empty()) return feedback_->Message();
    return "Not run yet";
  }
  const auto planned = static_cast<std::size_t>(chains_->header.sampler.generations);
  const std::string of =
      std::to_string(chains_->generations) + " of " + std::to_string(planned) + " generations";
  if (chains_->generations >= planned)
    return of + " in " + fs::path(ChainsFileName()).filename().string();
  return "Stopped: " + of + " kept; Resume runs the other " +
         std::to_string(planned - chains_->generations);
}

std::shared_ptr<const ChainsContents> CalibrationSession::Chains() const {
  const std::lock_guard lock(mutex_);
  return chains_;
}

std::vector<std::string> CalibrationSession::Quantities() const {
  const auto chains = Chains();
  return chains ? chains->header.names : std::vector<std::string>{};
}

std::optional<TraceChartData> CalibrationSession::Trace(std::size_t quantity) const {
  const auto chains = Chains();
  if (!chains || chains->generations == 0 || quantity >= chains->Dimension()) return std::nullopt;
  return TraceChart(*chains, quantity);
}

std::optional<MarginalChartData> CalibrationSession::Marginal(std::size_t quantity) const {
  const auto chains = Chains();
  if (!chains || !read_ || quantity >= chains->Dimension()) return std::nullopt;
  try {
    return MarginalChart(*chains, quantity, SampledPriors(*read_).at(quantity));
  } catch (const std::exception&) {
    return std::nullopt;  // no generation past the burn-in yet
  }
}

std::optional<PairsChartData> CalibrationSession::Pairs(std::size_t x, std::size_t y) const {
  const auto chains = Chains();
  if (!chains || x >= chains->Dimension() || y >= chains->Dimension() ||
      chains->generations <= static_cast<std::size_t>(chains->header.sampler.burnIn))
    return std::nullopt;
  return PairsChart(*chains, x, y);
}

std::vector<std::string> CalibrationSession::ObservedOutputs() const {
  std::vector<std::string> outputs;
  if (!read_) return outputs;
  std::set<std::string> seen;
  for (const Observation& o : read_->observations)
    if (seen.insert(o.row.symbol).second) outputs.push_back(o.row.symbol);
  return outputs;
}

std::optional<EnvelopeChartData> CalibrationSession::FitOf(const std::string& output,
                                                           std::size_t draws) const {
  const auto chains = Chains();
  if (!chains || !read_) return std::nullopt;
  try {
    if (!model_) model_ = std::make_unique<CalibrationModel>(*read_);
    return FitChart(*model_, *chains, output, draws, tasks::HardwareThreads());
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<ChainsDiagnostics> CalibrationSession::Diagnostics() const {
  const auto chains = Chains();
  if (!chains || chains->generations == 0) return std::nullopt;
  return DiagnoseChains(*chains, {});
}

std::string CalibrationSession::Verdict() const {
  const auto chains = Chains();
  if (!chains || chains->generations == 0) return "";
  const ChainsDiagnostics d = DiagnoseChains(*chains, {});
  std::string report =
      DiagnosticsReport(fs::path(ChainsFileName()).filename().string(), *chains, d, {});
  // The advice in the window's terms: its Continue runs the generations still needed.
  const std::string cli = ". Continue with --resume --generations ";
  if (const std::size_t at = report.find(cli); at != std::string::npos)
    report.replace(at, cli.size(), ". Continue runs the chains on to ");
  const std::string judge = "run more generations (--resume --generations N)";
  if (const std::size_t at = report.find(judge); at != std::string::npos)
    report.replace(at, judge.size(), "Continue runs as many again");
  return std::string(d.converged ? "Converged. " : "Not converged. ") + report;
}

std::string CalibrationSession::WritePosteriorEnsemble(int members) {
  const std::string chains = ChainsFileName();
  const std::string name = Beside(planFile_, ".posterior.toml");
  try {
    if (!read_ || !Chains()) throw std::runtime_error("Run the sampler first: there are no chains");
    const std::size_t draws = ensemble::ReadPosteriorDraws(chains).rows.size();
    members = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(members), draws));
    ensemble::EnsemblePlan site = read_->site;
    site.members = members;
    site.outputs.clear();
    for (const std::string& o : ObservedOutputs())
      site.outputs.push_back({.symbol = o, .times = {}, .everyLine = true});
    EditedCalibration text;
    text.site = site;
    std::string t = CalibrationPlanText(text, name);
    // The site and times, then the posterior and the outputs.
    t = t.substr(0, t.find("\n[sampler]"));
    t += "members = " + std::to_string(members) + "\n";
    t += "posterior = \"" + fs::path(chains).filename().string() + "\"\n";
    const std::size_t firstOutput = t.find("\n[[output]]");
    if (firstOutput != std::string::npos) {
      // TOML keys of the top table come before the first table.
      const std::string outputs = t.substr(firstOutput, t.find("members = ") - firstOutput);
      t.erase(firstOutput, outputs.size());
      t += outputs;
    }
    {
      TextWriter out(name);
      out.Write(t);
      out.Close();
    }
    ensemble::ReadPlan(name);
  } catch (const std::exception& e) {
    ShowError(e.what());
    return "";
  }
  if (openEnsemble_) openEnsemble_(name);
  return name;
}

std::vector<std::pair<std::string, double>> CalibrationSession::PosteriorMode() const {
  std::vector<std::pair<std::string, double>> mode;
  if (const auto chains = Chains(); chains && chains->generations > 0) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < chains->logPosterior.size(); ++i)
      if (chains->logPosterior[i] > chains->logPosterior[best]) best = i;
    const std::size_t g = best / chains->header.chains, c = best % chains->header.chains;
    for (std::size_t j = 0; j < chains->Dimension(); ++j)
      if (chains->header.names[j] != kErrorScaleName)
        mode.emplace_back(chains->header.names[j], chains->Draw(g, c, j));
    return mode;
  }
  if (fit_)
    for (std::size_t j = 0; j < fit_->names.size() && j < fit_->optimum.size(); ++j)
      mode.emplace_back(fit_->names[j], fit_->optimum[j]);
  return mode;
}

bool CalibrationSession::WritePosteriorMode() {
  const auto mode = PosteriorMode();
  if (mode.empty() || !read_) {
    ShowError("Fit or run the sampler first: there is no posterior mode yet");
    return false;
  }
  if (CurrentPrompter().Message(MessageKind::kConfirmation, MessageButtons::kYesNo,
                                kOverwriteParamFileQuestion) != Answer::kYes)
    return false;
  const std::string file = read_->site.paramFile;
  try {
    const ModelCatalogue& catalogue = Catalogue();
    paramarray params = catalogue.params;
    statearray states = catalogue.states;
    double residual = 0;
    if (!ReadParamValues(file, catalogue.def.numparam, params, catalogue.def.numstate, states,
                         residual))
      throw std::runtime_error("'" + file + "' is not a parameter file of this model");
    for (const auto& [symbol, value] : mode) params[ParamIndex(symbol)].value = value;
    WriteParamFile(file, catalogue.def.numparam, params, residual, states, catalogue.def.numstate);
    // The program's tables follow when the file is the program's parameter file.
    std::error_code ignored;
    if (!RunSettings.ParamFileName.empty() &&
        fs::equivalent(file, RunSettings.ParamFileName, ignored))
      for (const auto& [symbol, value] : mode) Params[ParamIndex(symbol)].value = value;
  } catch (const std::exception& e) {
    ShowError(e.what());
    return false;
  }
  return true;
}

}  // namespace kvsorv::calibration
