#include "calibration/fit_file.h"

#include <cstdio>
#include <filesystem>
#include <netcdf>

#include "calibration/chains_file.h"
#include "ensemble/posterior_draws.h"
#include "ensemble/results_open.h"

namespace kvsorv::calibration {

using netCDF::NcFile;
using netCDF::exceptions::NcException;

namespace {

template <typename T>
T Attribute(const NcFile& file, const char* name) {
  T value{};
  const auto atts = file.getAtts();
  if (const auto a = atts.find(name); a != atts.end()) a->second.getValues(&value);
  return value;
}

std::string Text(const NcFile& file, const char* name) {
  std::string value;
  const auto atts = file.getAtts();
  if (const auto a = atts.find(name); a != atts.end()) a->second.getValues(value);
  return value;
}

}  // namespace

FitFileContents FitContents(const std::vector<std::string>& names, const FitResult& fit,
                            std::uint64_t planHash) {
  return {.names = names,
          .optimum = fit.x,
          .covariance = fit.covariance,
          .standardErrors = fit.standardErrors,
          .objective = fit.objective,
          .sumOfSquares = fit.sumOfSquares,
          .collinearity = fit.collinearity,
          .evaluations = fit.evaluations,
          .failures = fit.failures,
          .observations = static_cast<int>(fit.residuals.size()),
          .stopReason = fit.stopReason,
          .planHash = planHash};
}

void WriteFitFile(const std::string& fileName, const FitFileContents& fit,
                  const std::string& version) {
  try {
    NcFile file(fileName, NcFile::replace, NcFile::classic64);
    const std::size_t d = fit.names.size();
    const std::size_t width = ensemble::NameTableWidth(fit.names);
    const auto parameter = file.addDim("parameter", d);
    const auto parameter2 = file.addDim("parameter2", d);
    const auto nameLength = file.addDim("name_length", width);
    file.putAtt("calibration_file", "fit");
    file.putAtt("calibration_format", netCDF::ncInt, 1);
    file.putAtt("program_version", version);
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fit.planHash));
    file.putAtt("plan_fingerprint", hash);
    file.putAtt("objective", netCDF::ncDouble, fit.objective);
    file.putAtt("sum_of_squares", netCDF::ncDouble, fit.sumOfSquares);
    file.putAtt("collinearity", netCDF::ncDouble, fit.collinearity);
    file.putAtt("evaluations", netCDF::ncInt, fit.evaluations);
    file.putAtt("failures", netCDF::ncInt, fit.failures);
    file.putAtt("observations", netCDF::ncInt, fit.observations);
    file.putAtt("stop_reason", fit.stopReason);
    auto names = file.addVar("parameter", netCDF::ncChar, {parameter, nameLength});
    auto optimum = file.addVar("optimum", netCDF::ncDouble, {parameter});
    auto se = file.addVar("standard_error", netCDF::ncDouble, {parameter});
    auto cov = file.addVar("covariance", netCDF::ncDouble, {parameter, parameter2});
    names.putVar(ensemble::NameTableText(fit.names).data());
    optimum.putVar(fit.optimum.data());
    std::vector<double> errors = fit.standardErrors, flat;
    errors.resize(d, NAN);
    se.putVar(errors.data());
    for (const auto& row : fit.covariance) flat.insert(flat.end(), row.begin(), row.end());
    flat.resize(d * d, NAN);
    cov.putVar(flat.data());
    file.close();
  } catch (const NcException& e) {
    std::error_code ignored;
    std::filesystem::remove(fileName, ignored);
    if (ensemble::DiskFullFor(fileName, e.errorCode()))
      throw EChainsError(fileName + ": cannot be written: " + ensemble::kDiskFull);
    throw EChainsError(ensemble::CannotOpen(fileName, e.errorCode(), true));
  }
}

FitFileContents ReadFitFile(const std::string& fileName) {
  if (CalibrationFileKind(fileName) != "fit")
    throw EChainsError(fileName + ": not a fit file of this program (made by --method fit)");
  try {
    const NcFile file(fileName, NcFile::read);
    FitFileContents fit;
    fit.names = ensemble::ReadNameTable(file.getVar("parameter"));
    const std::size_t d = fit.names.size();
    fit.optimum.resize(d);
    file.getVar("optimum").getVar(fit.optimum.data());
    fit.standardErrors.resize(d);
    file.getVar("standard_error").getVar(fit.standardErrors.data());
    std::vector<double> flat(d * d);
    file.getVar("covariance").getVar(flat.data());
    if (!flat.empty() && !std::isnan(flat[0]))
      for (std::size_t i = 0; i < d; ++i)
        fit.covariance.emplace_back(flat.begin() + static_cast<std::ptrdiff_t>(i * d),
                                    flat.begin() + static_cast<std::ptrdiff_t>((i + 1) * d));
    fit.objective = Attribute<double>(file, "objective");
    fit.sumOfSquares = Attribute<double>(file, "sum_of_squares");
    fit.collinearity = Attribute<double>(file, "collinearity");
    fit.evaluations = Attribute<int>(file, "evaluations");
    fit.failures = Attribute<int>(file, "failures");
    fit.observations = Attribute<int>(file, "observations");
    fit.stopReason = Text(file, "stop_reason");
    fit.planHash = std::stoull(Text(file, "plan_fingerprint"), nullptr, 16);
    return fit;
  } catch (const NcException& e) {
    throw EChainsError(fileName + ": not a fit file of this program (" + e.what() + ")");
  }
}

}  // namespace kvsorv::calibration
