#include "program_run/run_file_roles.h"

#include "files/file_identity.h"
#include "model/errors.h"
#include "program_run/simulation_run.h"

namespace kvsorv {

std::vector<RunFileRole> RunFileRoles(const TRunSettings& s) {
  std::vector<RunFileRole> roles;
  if (!s.ParamFileName.empty()) roles.push_back({"parameter file", s.ParamFileName, false});
  roles.push_back({"driver file", s.DriverFileName, false});
  roles.push_back({"base driver file", DirectoryOf(s.DriverFileName) + kBaseDriverFile, false});
  roles.push_back({"output file", s.OutputFileName, true});
  roles.push_back({"scratch driver file", kScratchDriverFile, true});
  try {
    roles.push_back({"next cell's driver file",
                     GetNextDriverFilename(s.DriverFileName).nextDriverFileName, true});
  } catch (const EConvertError&) {
    // No cell number: the run stops in its preparation, before it writes that file.
  }
  return roles;
}

void CheckRunFileRoles(const TRunSettings& settings) {
  const std::vector<RunFileRole> roles = RunFileRoles(settings);
  for (std::size_t i = 0; i < roles.size(); ++i) {
    for (std::size_t j = i + 1; j < roles.size(); ++j) {
      const RunFileRole& a = roles[i];
      const RunFileRole& b = roles[j];
      if (!(a.written || b.written) || !SameFile(a.fileName, b.fileName)) continue;
      const std::string message = a.fileName == b.fileName
                                      ? "Cannot run: '" + a.fileName + "' would be both the " +
                                            a.role + " and the " + b.role + " of the run."
                                      : "Cannot run: the " + a.role + " '" + a.fileName +
                                            "' and the " + b.role + " '" + b.fileName +
                                            "' are the same file.";
      throw EInOutError(EInOutError::Kind::kFileAccess, message + " Nothing was changed.");
    }
  }
}

}  // namespace kvsorv
