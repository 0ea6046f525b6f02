#include "ensemble/results_open.h"

#include <fcntl.h>
#include <hdf5.h>
#include <netcdf.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <netcdf>
#include <optional>
#include <system_error>
#include <vector>

#include "ensemble/results_file.h"
#include "ensemble/results_layout.h"

namespace kvsorv::ensemble {

namespace {

// Free space below which a failure to create or write counts as one of a full disk.
constexpr std::uintmax_t kLeastRoom = 256 * 1024;

std::string Words(int code) {
  switch (code) {
    case ENOENT:
      return "no such file";
    case EACCES:
      return "permission denied";
    case EISDIR:
      return "it is a directory";
    case NC_ENOTNC:
      return "not a netCDF-4 file";
    case NC_EHDFERR:
      return "damaged (its netCDF-4 structure cannot be read)";
    default:
      break;
  }
  std::string text = code > 0 ? std::strerror(code) : nc_strerror(code);
  if (text.rfind("NetCDF: ", 0) == 0) text.erase(0, 8);
  return text;
}

// The dimensions, variables and attribute that every results file of its layout has.
void CheckLayout(const netCDF::NcFile& file, const std::string& fileName) {
  const auto refuse = [&](const std::string& what) {
    throw EResultsError(fileName + ": not a results file (it has no " + what + ")");
  };
  if (file.getAtts().count("plan_fingerprint") == 0) refuse("plan fingerprint");
  const bool cf = IsCfLayout(file);
  if (cf) {
    int format = 0;
    file.getAtt("results_format").getValues(&format);
    if (format > kResultsFormat)
      throw EResultsError(fileName + ": a results file of format " + std::to_string(format) +
                          ", newer than this program reads (" + std::to_string(kResultsFormat) +
                          "); open it with a newer version");
  }
  const auto dims = cf ? std::vector<const char*>{"member", "time", "output", "parameter"}
                       : std::vector<const char*>{"member", "time", "variable", "parameter"};
  for (const char* dim : dims)
    if (file.getDim(dim).isNull()) refuse(std::string("dimension '") + dim + "'");
  const auto vars =
      cf ? std::vector<const char*>{"time",   "model_year", "output",         "parameter",
                                    "status", "error",      "parameter_value"}
         : std::vector<const char*>{"time",   "variable_name", "parameter_symbol", "value",
                                    "status", "error",         "parameter_value"};
  for (const char* var : vars)
    if (file.getVar(var).isNull()) refuse(std::string("variable '") + var + "'");
  if (!cf) return;
  for (const std::string& var : ReadCfOutputs(file).variables)
    if (file.getVar(var).isNull()) refuse("variable '" + var + "' of the output it names");
}

// A reader opens the file without the HDF5 library's lock, so that the status of a run can
// be read while the run writes it (the run keeps its lock against a second writer). The
// library reads the setting at each open; one open at a time changes it.
class UnlockedOpen {
 public:
  UnlockedOpen() : lock_(Mutex()) {
    if (const char* value = std::getenv(kVariable)) before_ = value;
    setenv(kVariable, "FALSE", 1);
  }
  ~UnlockedOpen() {
    if (before_)
      setenv(kVariable, before_->c_str(), 1);
    else
      unsetenv(kVariable);
  }
  UnlockedOpen(const UnlockedOpen&) = delete;
  UnlockedOpen& operator=(const UnlockedOpen&) = delete;

 private:
  static constexpr const char* kVariable = "HDF5_USE_FILE_LOCKING";
  static std::mutex& Mutex() {
    static std::mutex mutex;
    return mutex;
  }
  std::lock_guard<std::mutex> lock_;
  std::optional<std::string> before_;
};

}  // namespace

void LeaveFailedFilesAtExit() {
  H5dont_atexit();
}

bool HeldByWriter(const std::string& fileName) {
  const int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return held;
}

bool DiskFullFor(const std::string& fileName, int code) {
  if (code == ENOSPC) return true;
  std::error_code ec;
  const auto directory = std::filesystem::absolute(fileName, ec).parent_path();
  const auto space = std::filesystem::space(directory, ec);
  return !ec && space.available < kLeastRoom;
}

std::string CannotOpen(const std::string& fileName, int code, bool creating) {
  if (!creating && code == NC_EHDFERR && HeldByWriter(fileName))
    return fileName +
           ": cannot be opened to write: another run is writing it (wait for it to "
           "end, or stop it first)";
  std::error_code ignored;
  if (!creating && std::filesystem::is_directory(fileName, ignored)) code = EISDIR;
  if (code == NC_ENOTNC) return fileName + ": not a results file (not a netCDF-4 file)";
  if (creating) {
    const std::filesystem::path directory = std::filesystem::path(fileName).parent_path();
    if (!directory.empty() && !std::filesystem::is_directory(directory, ignored))
      return fileName + ": cannot be created: the directory " + directory.string() +
             " does not exist";
    if (DiskFullFor(fileName, code)) return fileName + ": cannot be created: " + kDiskFull;
  }
  return fileName + (creating ? ": cannot be created: " : ": cannot be opened: ") + Words(code);
}

std::unique_ptr<netCDF::NcFile> OpenResultsNetcdf(const std::string& fileName, bool write) {
  std::unique_ptr<netCDF::NcFile> file;
  try {
    if (write) {
      file = std::make_unique<netCDF::NcFile>(fileName, netCDF::NcFile::write);
    } else {
      const UnlockedOpen unlocked;
      file = std::make_unique<netCDF::NcFile>(fileName, netCDF::NcFile::read);
    }
  } catch (const netCDF::exceptions::NcException& e) {
    throw EResultsError(CannotOpen(fileName, e.errorCode(), false));
  }
  CheckLayout(*file, fileName);
  return file;
}

std::unique_ptr<netCDF::NcFile> CreateResultsNetcdf(const std::string& making,
                                                    const std::string& fileName) {
  try {
    return std::make_unique<netCDF::NcFile>(making, netCDF::NcFile::replace, netCDF::NcFile::nc4);
  } catch (const netCDF::exceptions::NcException& e) {
    std::error_code ignored;
    std::filesystem::remove(making, ignored);  // whatever the library left of it
    throw EResultsError(CannotOpen(fileName, e.errorCode(), true));
  }
}

}  // namespace kvsorv::ensemble
