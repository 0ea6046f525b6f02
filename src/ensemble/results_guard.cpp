#include "ensemble/results_guard.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "ensemble/results_file.h"
#include "files/cell_file_names.h"

namespace kvsorv::ensemble {

namespace {

// "" for a file that cannot be read (the site's loading names it).
std::string FileFingerprint(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad() || !in.is_open()) return "";
  return FingerprintText(Fingerprint(bytes));
}

// The method and the bits of every value: a design file read twice gives the same rows.
std::string DesignFingerprint(const Design& design) {
  std::string bytes = MethodName(design.method);
  for (const auto& row : design.rows) {
    const std::size_t at = bytes.size();
    bytes.resize(at + row.size() * sizeof(double) + 1);
    if (!row.empty()) std::memcpy(bytes.data() + at, row.data(), row.size() * sizeof(double));
    bytes.back() = '\n';
  }
  return FingerprintText(Fingerprint(bytes));
}

}  // namespace

std::vector<GuardEntry> GuardOf(const EnsemblePlan& plan, const Design& design) {
  const std::string base = DirectoryOf(plan.driverFile) + kBaseDriverFile;
  const std::string files[] = {plan.paramFile, plan.driverFile, base};
  std::vector<GuardEntry> entries{
      {kGuardKinds[0].attribute, kGuardKinds[0].what, DesignFingerprint(design)}};
  for (std::size_t i = 0; i < std::size(files); ++i)
    entries.push_back({kGuardKinds[i + 1].attribute,
                       std::string(kGuardKinds[i + 1].what) + " '" + files[i] + "'",
                       FileFingerprint(files[i])});
  return entries;
}

std::vector<std::string> InputFilesOf(const EnsemblePlan& plan) {
  std::vector<std::string> files{plan.file.string(), plan.paramFile,
                                 DirectoryOf(plan.driverFile) + kBaseDriverFile};
  std::string driverFile = plan.driverFile;
  for (int c = 0; c < plan.cells; ++c) {
    files.push_back(driverFile);
    try {
      driverFile = GetNextDriverFilename(driverFile).nextDriverFileName;
    } catch (const std::exception&) {
      break;  // a name without a cell number: the run names it
    }
  }
  files.insert(files.end(), plan.tableFiles.begin(), plan.tableFiles.end());
  return files;
}

}  // namespace kvsorv::ensemble
