#include "ensemble/results_open.h"

#include <hdf5.h>
#include <netcdf.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <netcdf>
#include <system_error>

#include "ensemble/results_file.h"

namespace kvsorv::ensemble {

namespace {

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
      return "damaged, or being written by another process";
    default:
      break;
  }
  std::string text = code > 0 ? std::strerror(code) : nc_strerror(code);
  if (text.rfind("NetCDF: ", 0) == 0) text.erase(0, 8);
  return text;
}

// The dimensions, variables and attribute that every results file has.
void CheckLayout(const netCDF::NcFile& file, const std::string& fileName) {
  const auto refuse = [&](const std::string& what) {
    throw EResultsError(fileName + ": not a results file (it has no " + what + ")");
  };
  for (const char* dim : {"member", "time", "variable", "parameter"})
    if (file.getDim(dim).isNull()) refuse(std::string("dimension '") + dim + "'");
  for (const char* var :
       {"time", "variable_name", "parameter_symbol", "value", "status", "error", "parameter_value"})
    if (file.getVar(var).isNull()) refuse(std::string("variable '") + var + "'");
  if (file.getAtts().count("plan_fingerprint") == 0) refuse("plan fingerprint");
}

}  // namespace

void LeaveFailedFilesAtExit() {
  H5dont_atexit();
}

std::string CannotOpen(const std::string& fileName, int code, bool creating) {
  std::error_code ignored;
  if (!creating && std::filesystem::is_directory(fileName, ignored)) code = EISDIR;
  if (code == NC_ENOTNC) return fileName + ": not a results file (not a netCDF-4 file)";
  if (creating) {
    const std::filesystem::path directory = std::filesystem::path(fileName).parent_path();
    if (!directory.empty() && !std::filesystem::is_directory(directory, ignored))
      return fileName + ": cannot be created: the directory " + directory.string() +
             " does not exist";
  }
  return fileName + (creating ? ": cannot be created: " : ": cannot be opened: ") + Words(code);
}

std::unique_ptr<netCDF::NcFile> OpenResultsNetcdf(const std::string& fileName, bool write) {
  std::unique_ptr<netCDF::NcFile> file;
  try {
    file = std::make_unique<netCDF::NcFile>(fileName,
                                            write ? netCDF::NcFile::write : netCDF::NcFile::read);
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
    throw EResultsError(CannotOpen(fileName, e.errorCode(), true));
  }
}

}  // namespace kvsorv::ensemble
