#include "ensemble/results_merge.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "ensemble/disk_sync.h"
#include "ensemble/results_file.h"
#include "ensemble/results_guard.h"
#include "ensemble/results_open.h"
#include "files/file_identity.h"

namespace kvsorv::ensemble {

namespace {

namespace fs = std::filesystem;

// Equal, NaN equal to NaN (a value the member did not reach).
bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && !(std::isnan(a[i]) && std::isnan(b[i]))) return false;
  return true;
}

void CheckSameEnsemble(const ResultsFile& first, const ResultsFile& other) {
  if (other.PlanFingerprint() != first.PlanFingerprint()) {
    const std::string a = first.Describe().seed, b = other.Describe().seed;
    throw EResultsError(
        other.Name() + ": made from another plan than " + first.Name() +
        (a != b ? " (seed " + b + ", not " + a + ")" : std::string(" (the plan's text differed)")));
  }
  if (other.Members() != first.Members())
    throw EResultsError(other.Name() + ": holds " + std::to_string(other.Members()) + " members, " +
                        first.Name() + " " + std::to_string(first.Members()));
  const ResultsDescription a = first.Describe(), b = other.Describe();
  if (a.designMethod != b.designMethod || a.oatStep != b.oatStep ||
      a.morrisLevels != b.morrisLevels)
    throw EResultsError(other.Name() + ": made from another design than " + first.Name() +
                        " (design method '" + b.designMethod + "', not '" + a.designMethod + "')");
  for (const GuardKind& kind : kGuardKinds) {
    const std::string x = first.GuardFingerprint(kind.attribute);
    const std::string y = other.GuardFingerprint(kind.attribute);
    if (x.empty() || y.empty() || x == y) continue;
    if (&kind == &kGuardKinds[0])
      throw EResultsError(other.Name() + ": made from another design than " + first.Name() +
                          " (its members ran with other parameter values)");
    throw EResultsError(other.Name() + ": made from other contents of " + kind.what + " than " +
                        first.Name() + ": their members would mix");
  }
}

// Removes the file being written unless it was renamed into place.
struct Unfinished {
  std::string name;
  ~Unfinished() {
    std::error_code ignored;
    if (!name.empty()) fs::remove(name, ignored);
  }
};

}  // namespace

void MergeResults(const std::vector<std::string>& inputs, const std::string& output, bool replace) {
  if (inputs.empty()) throw EResultsError("no results file to merge");
  const std::string making = output + ".making";
  for (const std::string& input : inputs) {
    if (SameFile(input, output))
      throw EResultsError(output + ": is also an input (" + input + "); merge into another file");
    if (SameFile(input, making))
      throw EResultsError(input + ": is named like the file the merge writes first; rename it");
  }
  if (fs::exists(output) && !replace)
    throw EResultsError(output + ": exists: add --replace to write the merge over it");

  std::vector<ResultsFile> files;
  for (const std::string& input : inputs) files.push_back(ResultsFile::OpenToRead(input));
  for (std::size_t i = 1; i < files.size(); ++i) CheckSameEnsemble(files[0], files[i]);

  // Which input gives each member: the first that finished it. Any other that finished it
  // must agree on its parameters and its results.
  const std::size_t members = files[0].Members();
  std::vector<std::size_t> source(members, files.size());
  std::vector<std::vector<MemberStatus>> statuses;
  std::vector<Matrix> parameters;
  for (const ResultsFile& file : files) {
    statuses.push_back(file.CheckedStatuses());
    parameters.push_back(file.Parameters());
  }
  for (std::size_t i = 0; i < files.size(); ++i)
    for (std::size_t m = 0; m < members; ++m) {
      if (statuses[i][m] == MemberStatus::kMissing) continue;
      const std::size_t s = source[m];
      if (s == files.size()) {
        source[m] = i;
        continue;
      }
      const std::string both =
          files[s].Name() + " and " + files[i].Name() + ": member " + std::to_string(m);
      if (!SameValues(parameters[s][m], parameters[i][m]))
        throw EResultsError(both + " has other parameters in each: shards of different designs");
      const MemberResult a = files[s].ReadMember(m), b = files[i].ReadMember(m);
      if (a.failed != b.failed || a.error != b.error || !SameValues(a.values, b.values))
        throw EResultsError(both + " was run twice with different results");
    }

  // The first input copied, then the members it lacks taken from the others.
  Unfinished unfinished{making};
  std::error_code error;
  fs::copy_file(inputs[0], making, fs::copy_options::overwrite_existing, error);
  if (error) throw EResultsError(CannotOpen(output, error.value(), true));
  ResultsFile merged = ResultsFile::OpenToWrite(making);
  for (std::size_t m = 0; m < members; ++m)
    if (source[m] != 0 && source[m] != files.size())
      merged.WriteMember(m, parameters[source[m]][m], files[source[m]].ReadMember(m));
  merged.Close();
  fs::rename(making, output, error);
  if (error) throw EResultsError(output + ": cannot be written: " + error.message());
  unfinished.name.clear();
  SyncDirectoryOf(output);
}

}  // namespace kvsorv::ensemble
