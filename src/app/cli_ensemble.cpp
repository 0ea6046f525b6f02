// kvsorv-cli ensemble run|merge|status|export: the members of a design, side by side on every
// core, into a results file; shard files joined; how far a results file has come; a results
// file as a long CSV table.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "analysis/failures.h"
#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_outputs.h"
#include "app/progress_line.h"
#include "app/stop_signals.h"
#include "ensemble/design_file.h"
#include "ensemble/ensemble_runner.h"
#include "ensemble/plan.h"
#include "ensemble/results_export.h"
#include "ensemble/results_file.h"
#include "ensemble/results_guard.h"
#include "ensemble/results_merge.h"
#include "ensemble/results_open.h"
#include "files/text_writer.h"
#include "tasks/feedback.h"

namespace kvsorv::cli {

namespace {

using namespace kvsorv::ensemble;

struct EnsembleOptions {
  // run
  std::string plan;
  std::string design;
  std::optional<double> threads;
  std::string shard = "1/1";
  bool resume = false;
  bool rerunFailed = false;
  std::string output;
  // merge and status
  std::vector<std::string> inputs;
  std::string results;
  bool replace = false;
  // export
  std::string csv;
  // launch
  std::string engine;
  std::optional<double> shards;
  std::optional<double> maxRunning;
};

// "k/K" with 1 <= k <= K.
std::pair<int, int> ParseShard(const std::string& text) {
  int k = 0, n = 0;
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d/%d%c", &k, &n, &rest) != 2 || k < 1 || n < 1 || k > n)
    throw std::invalid_argument("--shard must be k/K with 1 <= k <= K, not '" + text + "'");
  return {k, n};
}

// A whole number from `low` to `high`, or std::invalid_argument naming the option.
int WholeNumber(double value, const char* option, int low, int high) {
  if (!(value >= low && value <= high) || value != static_cast<int>(value))
    throw std::invalid_argument(std::string(option) + " must be a whole number from " +
                                std::to_string(low) + " to " + std::to_string(high));
  return static_cast<int>(value);
}

int CheckedThreads(const EnsembleOptions& o, double unless) {
  return WholeNumber(o.threads.value_or(unless), "--threads", 1, 1024);
}

// A signal stops the run: the members finished are kept, those in flight finish first, and
// the exit status is 128 + the signal. --resume runs the rest.
// Where the results go: the file a link points to, also one not made yet (a new file would
// otherwise replace the link). A directory is refused.
std::string ResultsPath(const std::string& output) {
  std::error_code ignored;
  if (std::filesystem::is_directory(output, ignored))
    throw std::invalid_argument("-o: '" + output + "' is a directory; name the results file");
  if (!std::filesystem::is_symlink(output, ignored) || std::filesystem::exists(output, ignored))
    return output;
  const std::filesystem::path target = std::filesystem::read_symlink(output, ignored);
  return target.is_absolute() ? target.string()
                              : (std::filesystem::path(output).parent_path() / target).string();
}

int RunEnsemble(const EnsembleOptions& o) {
  Feedback feedback;  // canceled by a signal: no member starts after it
  const StopSignals signals(feedback);
  const auto [shard, shards] = ParseShard(o.shard);
  if (o.rerunFailed && !o.resume)
    throw std::invalid_argument(
        "--rerun-failed: give --resume too (it reruns the failed "
        "members of an existing results file)");
  const int threads = CheckedThreads(o, std::max(1u, std::thread::hardware_concurrency()));
  const EnsemblePlan plan = ReadPlan(o.plan);
  const Design design = ReadDesign(o.design, plan);
  if (static_cast<std::size_t>(shards) > design.rows.size())
    throw std::invalid_argument("--shard: " + std::to_string(shards) + " shards of a design of " +
                                std::to_string(design.rows.size()) +
                                " members would leave shards without a member");
  const EnsembleSite site = LoadSite(plan);

  std::vector<std::size_t> members = ShardMembers(design.rows.size(), shard, shards);
  const std::string output = ResultsPath(o.output);
  // Members already computed are never thrown away.
  if (!o.resume && std::filesystem::exists(output))
    throw std::invalid_argument("'" + o.output +
                                "' exists: add --resume to run the members it is missing, or "
                                "remove it first");
  // A results file of another plan is named as such; a plan that keeps no output is refused
  // before any file is written.
  const bool reopen = o.resume && std::filesystem::exists(output);
  if (!reopen) RequireOutputs(plan);
  ResultsFile results = reopen ? ResultsFile::Open(output, plan, design)
                               : ResultsFile::Create(output, plan, site, design, KVSORV_VERSION);
  if (reopen) RequireOutputs(plan);
  if (o.resume) members = UnfinishedMembers(results, members, o.rerunFailed);

  ProgressLine line("members", "", true, 0);
  std::size_t failed = 0;  // counted before each progress report, one member at a time
  feedback.OnProgress([&](const FeedbackProgress& p) { line.Update(p.done, p.total, failed); });
  EnsembleTally tally;
  try {
    tally = RunMembers(plan, site, design, members, threads, results, &feedback,
                       [&](std::size_t, const MemberResult& result) { failed += result.failed; });
    line.End(tally.done + tally.failed, members.size(), tally.failed);
    results.Close();
  } catch (const EResultsError& e) {
    // The members stored before the failure stay in the file, readable.
    throw EResultsError(std::string(e.what()) +
                        "; the members stored before are kept (ensemble status counts them)");
  }
  const std::size_t finished = tally.done + tally.failed;
  const std::string kept = std::to_string(tally.done) + " members done, " +
                           std::to_string(tally.failed) + " failed, written to " + o.output;
  if (const int signal = signals.Signal(); signal != 0) {
    std::cerr << "stopped by " << SignalName(signal) << ": " << kept << "; "
              << members.size() - finished << " not run (--resume runs them)\n";
    return 128 + signal;
  }
  std::cerr << kept << '\n';
  return 0;
}

int Merge(const EnsembleOptions& o) {
  if (o.inputs.empty()) throw std::invalid_argument("name the shard files to merge");
  MergeResults(o.inputs, o.output, o.replace);
  std::cerr << o.inputs.size() << " files merged into " << o.output << '\n';
  return 0;
}

// Counts a file's members; a file being written by a run is read as the run last synced it.
int Status(const EnsembleOptions& o) {
  const ResultsFile results = ResultsFile::OpenToRead(o.results);
  std::vector<MemberStatus> statuses;
  std::vector<std::size_t> lacking;
  // Failures counted by the first line of their message, so the researcher sees why.
  std::vector<std::string> errors;
  try {
    statuses = results.Statuses();
    lacking = results.DoneWithoutValues();
    for (std::size_t m = 0; m < statuses.size(); ++m)
      if (statuses[m] == MemberStatus::kFailed) errors.push_back(results.ErrorOf(m));
  } catch (const std::exception&) {  // the library's own text names no file
    throw EResultsError(o.results + ": cannot be read: " +
                        (HeldByWriter(o.results) ? "a run was writing it meanwhile; try again"
                                                 : "damaged (its values cannot be read)"));
  }
  if (!lacking.empty())
    std::cerr << o.results << ": " << lacking.size()
              << " members marked done lack values a member done has: counted missing "
                 "(--resume runs them again)\n";
  for (const std::size_t m : lacking) statuses[m] = MemberStatus::kMissing;
  const auto count = [&](MemberStatus s) {
    return std::count(statuses.begin(), statuses.end(), s);
  };
  const auto missing = count(MemberStatus::kMissing);
  std::cout << "members\t" << results.Members() << "\ndone\t" << count(MemberStatus::kDone)
            << "\nfailed\t" << count(MemberStatus::kFailed) << "\nmissing\t" << missing
            << "\nplan\t" << results.PlanFingerprint() << '\n';
  for (const auto& [reason, n] : analysis::FailureReasons(errors))
    std::cout << "failed because\t" << n << '\t' << reason << '\n';
  return missing == 0 ? 0 : 3;
}

int Export(const EnsembleOptions& o) {
  RefuseInputAsOutput("--csv", {o.csv}, {o.results});
  const ResultsFile results = ResultsFile::OpenToRead(o.results);
  Feedback feedback;
  const StopSignals signals(feedback);
  if (!ExportTidyCsv(results, o.csv, &feedback)) {
    const int signal = signals.Signal();
    std::cerr << "stopped by " << SignalName(signal) << ": " << o.csv << " not written\n";
    return 128 + signal;
  }
  std::cerr << results.Members() << " members written to " << o.csv << '\n';
  return 0;
}

std::string Absolute(const std::string& name) {
  return std::filesystem::absolute(name).lexically_normal().string();
}

// A path as sbatch's --output takes it: '%' starts a replacement there, and "%%" is one '%'.
std::string SlurmPattern(const std::string& path) {
  std::string pattern;
  for (const char c : path) pattern += c == '%' ? std::string("%%") : std::string(1, c);
  return pattern;
}

std::string Quoted(const std::string& text) {
  std::string q = "'";
  for (const char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

void WriteScript(const std::string& name, const std::string& text) {
  TextWriter file(name);
  file.Write(text);
  file.Close();
  std::filesystem::permissions(name,
                               std::filesystem::perms::owner_exec |
                                   std::filesystem::perms::group_exec |
                                   std::filesystem::perms::others_exec,
                               std::filesystem::perm_options::add);
}

// Scripts that run the shards through an existing engine and merge them at the end.
int Launch(const EnsembleOptions& o) {
  // Checked as 'ensemble run' checks them, before any script is written.
  const int k = WholeNumber(o.shards.value_or(1), "--shards", 1, 100000);
  const int threads = CheckedThreads(o, 1);
  const int atOnce = WholeNumber(o.maxRunning.value_or(k), "--max-running", 1, 100000);
  if (o.engine != "slurm" && o.engine != "parallel")
    throw std::invalid_argument("the engine must be slurm or parallel");
  // The parallel script takes how many shards run at once as parallel's own option.
  if (o.engine == "parallel" && o.maxRunning)
    throw std::invalid_argument(
        "--max-running applies to the slurm engine only; the parallel script passes its "
        "arguments to parallel: run it with -j M");
  // Refuse a plan or design that cannot run, and shards left without a member.
  const EnsemblePlan plan = ReadPlan(o.plan);
  RequireOutputs(plan);
  const std::size_t members = ReadDesign(o.design, plan).rows.size();
  std::vector<std::string> inputs = InputFilesOf(plan);
  inputs.push_back(o.design);
  RefuseInputAsOutput("-o", {o.output}, inputs);
  if (static_cast<std::size_t>(k) > members)
    throw std::invalid_argument("--shards: " + std::to_string(k) + " shards of a design of " +
                                std::to_string(members) +
                                " members would leave shards without a member");
  const std::string program = Quoted(std::filesystem::read_symlink("/proc/self/exe").string());
  const std::string stem = Absolute(o.output).substr(0, Absolute(o.output).rfind(".nc"));
  const std::string run = program + " ensemble run " + Quoted(Absolute(o.plan)) + " --design " +
                          Quoted(Absolute(o.design)) + " --threads " + std::to_string(threads);
  // Run again on resume, over the merge of the last time.
  const std::string merge = program + " ensemble merge --replace " + Quoted(stem) +
                            ".shard-*.nc -o " + Quoted(Absolute(o.output));
  if (o.engine == "parallel") {
    const std::string script = stem + ".parallel.sh";
    WriteScript(
        script,
        "#!/bin/sh\n"
        "# Runs the " +
            std::to_string(k) +
            " shards with GNU parallel, then merges them.\n"
            "# Another machine's cores: add --sshloginfile FILE (the same paths there).\n"
            "# Failed shards are retried; run this script again to resume. Ctrl-C stops the\n"
            "# shards, each keeping what it finished (a minute to do so, then killed).\n"
            "set -e\n"
            "# -q: parallel passes each word of the command whole (paths with spaces).\n"
            "parallel -q --retries 2 --termseq TERM,60000,KILL,25 --joblog " +
            Quoted(stem + ".joblog") + " \"$@\" " + run + " --shard {}/" + std::to_string(k) +
            " --resume -o " + Quoted(stem) + ".shard-{}.nc ::: $(seq 1 " + std::to_string(k) +
            ")\n" + merge + "\n");
    std::cerr << "wrote " << script << '\n';
    return 0;
  }
  const std::string array = stem + ".slurm-array.sh";
  const std::string merging = stem + ".slurm-merge.sh";
  const std::string submit = stem + ".slurm-submit.sh";
  WriteScript(
      array,
      "#!/bin/sh\n"
      "#SBATCH --job-name=kvsorv-ensemble\n"
      "#SBATCH --array=1-" +
          std::to_string(k) + "%" + std::to_string(atOnce) +
          "\n#SBATCH --cpus-per-task=" + std::to_string(threads) +
          "\n"
          "#SBATCH --open-mode=append\n"
          "# The submit script names the log files (on its command line, where a path with\n"
          "# spaces can be quoted).\n"
          "#SBATCH --signal=B:TERM@60\n"
          "# A minute before the time limit the shard is sent SIGTERM: it keeps the members\n"
          "# it finished and exits with 143. Run the submit script again to resume it.\n"
          "# (exec: the signal goes to the program, not to this shell.)\n"
          "exec " +
          run + " --shard ${SLURM_ARRAY_TASK_ID}/" + std::to_string(k) + " --resume -o " +
          Quoted(stem) + ".shard-${SLURM_ARRAY_TASK_ID}.nc\n");
  WriteScript(merging, "#!/bin/sh\n#SBATCH --job-name=kvsorv-merge\n" + merge + "\n");
  WriteScript(
      submit,
      "#!/bin/sh\n# Submits the shards as a job array and the merge after them; the merge is\n"
      "# dropped when a shard did not finish. Run again to resume the shards.\n"
      "set -e\njob=$(sbatch --parsable --output=" +
          Quoted(SlurmPattern(stem) + ".shard-%a.log") + " " + Quoted(array) +
          ")\n"
          "sbatch --dependency=afterok:$job --kill-on-invalid-dep=yes --output=" +
          Quoted(SlurmPattern(stem) + ".merge.log") + " " + Quoted(merging) + "\n");
  std::cerr << "wrote " << array << ", " << merging << " and " << submit << '\n';
  return 0;
}

}  // namespace

CommandBody DeclareEnsemble(CLI::App& command) {
  auto o = std::make_shared<EnsembleOptions>();
  command.require_subcommand(1);
  CLI::App* run = command.add_subcommand("run", "Run the members of a design.");
  NotEmpty(run->add_option("plan", o->plan, "The ensemble plan (TOML)"))
      ->required()
      ->type_name("PLAN");
  AddRequiredText(*run, "--design", "FILE", o->design, "Design file written by 'sample'");
  AddNumber(*run, "--threads", "N", o->threads, "Threads, every core unless given");
  run->add_option("--shard", o->shard, "This run's shard k of K, 1/1 unless given")
      ->type_name("k/K");
  run->add_flag("--resume", o->resume, "Run only the members missing from the results file");
  run->add_flag("--rerun-failed", o->rerunFailed, "With --resume, run failed members again");
  AddRequiredText(*run, "-o,--output", "FILE", o->output, "Results file (netCDF)");

  CLI::App* merge = command.add_subcommand("merge", "Join the results files of shards.");
  NotEmpty(merge->add_option("files", o->inputs, "The shards' results files"))->required();
  AddRequiredText(*merge, "-o,--output", "FILE", o->output, "Results file to write");
  merge->add_flag("--replace", o->replace, "Write over an existing output file");

  CLI::App* status = command.add_subcommand("status", "Count the members done, failed, missing.");
  NotEmpty(status->add_option("results", o->results, "A results file"))->required();

  CLI::App* exporting =
      command.add_subcommand("export", "Write a results file as a long CSV table.");
  NotEmpty(exporting->add_option("results", o->results, "A results file"))->required();
  AddRequiredText(*exporting, "--csv", "FILE", o->csv,
                  "CSV file: member,cell,time,output,value,status,<parameters>");

  CLI::App* launch =
      command.add_subcommand("launch", "Write scripts that run the shards on a cluster.");
  launch->add_option("engine", o->engine, "slurm or parallel")->required();
  NotEmpty(launch->add_option("plan", o->plan, "The ensemble plan (TOML)"))
      ->required()
      ->type_name("PLAN");
  AddRequiredText(*launch, "--design", "FILE", o->design, "Design file written by 'sample'");
  AddNumber(*launch, "--shards", "K", o->shards, "How many shards, 1 unless given");
  AddNumber(*launch, "--threads", "N", o->threads, "Threads of each shard, 1 unless given");
  AddNumber(*launch, "--max-running", "M", o->maxRunning,
            "Slurm: shards running at once, all unless given");
  AddRequiredText(*launch, "-o,--output", "FILE", o->output, "The merged results file");

  return [o, run, merge, launch, exporting] {
    if (run->parsed()) return RunEnsemble(*o);
    if (exporting->parsed()) return Export(*o);
    if (merge->parsed()) return Merge(*o);
    if (launch->parsed()) return Launch(*o);
    return Status(*o);
  };
}

}  // namespace kvsorv::cli
