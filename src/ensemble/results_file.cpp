#include "ensemble/results_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <netcdf>
#include <stdexcept>
#include <system_error>

#include "ensemble/disk_sync.h"
#include "ensemble/results_guard.h"
#include "ensemble/results_open.h"

namespace kvsorv::ensemble {

namespace {

using netCDF::NcDim;
using netCDF::NcFile;
using netCDF::NcVar;

constexpr const char* kValues = "value";
constexpr const char* kStatus = "status";
constexpr const char* kError = "error";
constexpr const char* kParameters = "parameter_value";
constexpr const char* kKept = "kept";
// The netCDF library's chunk cache of one variable, unless set otherwise.
constexpr std::size_t kChunkCacheBytes = std::size_t{16} << 20;

std::string TextAttribute(const NcFile& file, const char* name) {
  std::string text;
  file.getAtt(name).getValues(text);
  return text;
}

// Why writing to `fileName` failed, in words: the library's own text names no file, and a
// full disk shows only as an HDF error.
std::string CannotWrite(const std::string& fileName, const std::string& libraryText) {
  const bool full = DiskFullFor(fileName, errno);
  std::string first = libraryText.substr(0, libraryText.find('\n'));
  return fileName + ": cannot be written: " +
         (full ? std::string(kDiskFull) : "the netCDF library reports '" + first + "'");
}

// Runs a write to the file, reporting a failure of the netCDF library or of the disk as an
// EResultsError that names the file and the cause.
template <typename Write>
void Writing(const std::string& fileName, Write write) {
  try {
    write();
  } catch (const netCDF::exceptions::NcException& e) {
    throw EResultsError(CannotWrite(fileName, e.what()));
  } catch (const std::system_error& e) {
    throw EResultsError(CannotWrite(fileName, e.what()));
  }
}

}  // namespace

std::string FingerprintText(std::uint64_t fingerprint) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(fingerprint));
  return text;
}

ResultsFile::ResultsFile(std::unique_ptr<NcFile> file, std::string name,
                         std::unique_ptr<DiskSync> disk)
    : file_(std::move(file)), name_(std::move(name)), disk_(std::move(disk)) {
  cf_ = IsCfLayout(*file_);
  if (!cf_) return;
  outputVariables_ = ReadCfOutputs(*file_).variables;
  // The outputs' chunk caches share what the one variable of the older layout had, so that a
  // file of many outputs holds no more of them in memory.
  const std::size_t chunkBytes = Times() * sizeof(double);
  const std::size_t share = std::max(
      kChunkCacheBytes / std::max<std::size_t>(outputVariables_.size(), 1), 4 * chunkBytes);
  for (const std::string& var : outputVariables_)
    nc_set_var_chunk_cache(file_->getId(), file_->getVar(var).getId(), share, 1009, 0.75f);
}
ResultsFile::ResultsFile(ResultsFile&&) noexcept = default;

ResultsFile& ResultsFile::operator=(ResultsFile&& other) noexcept {
  if (this == &other) return *this;
  try {
    Close();
  } catch (...) {  // as the destructor
  }
  file_ = std::move(other.file_);
  name_ = std::move(other.name_);
  disk_ = std::move(other.disk_);
  held_ = std::move(other.held_);
  cf_ = other.cf_;
  outputVariables_ = std::move(other.outputVariables_);
  return *this;
}

ResultsFile::~ResultsFile() {
  try {
    Close();
  } catch (...) {  // a destructor cannot report it; Close does
  }
}

ResultsFile ResultsFile::Create(const std::string& fileName, const EnsemblePlan& plan,
                                const EnsembleSite& site, const Design& design,
                                const std::string& version, int format) {
  // Made under another name and renamed once whole, so that a process killed meanwhile leaves
  // no file that cannot be opened in place of the results (or of the file replaced).
  const std::string making = fileName + ".making";
  std::unique_ptr<NcFile> file = CreateResultsNetcdf(making, fileName);
  try {
    return CreateInside(file, making, fileName, plan, site, design, version, format);
  } catch (...) {
    // Closed quietly (the library's object would print its own failure when destroyed) and
    // removed: a file that could not be made whole is no results file.
    if (file) {
      nc_close(file->getId());
      static_cast<void>(file.release());
    }
    std::error_code ignored;
    std::filesystem::remove(making, ignored);
    throw;
  }
}

ResultsFile ResultsFile::CreateInside(std::unique_ptr<NcFile>& file, const std::string& making,
                                      const std::string& fileName, const EnsemblePlan& plan,
                                      const EnsembleSite& site, const Design& design,
                                      const std::string& version, int format) {
  Writing(fileName, [&] {
    if (format == 1)
      WriteLayout(*file, plan, site, design, version);
    else
      WriteCfLayout(*file, plan, site, design, version);
  });
  auto disk = std::make_unique<DiskSync>(making);
  disk->Request();
  disk->Wait();
  std::filesystem::rename(making, fileName);
  SyncDirectoryOf(fileName);
  return ResultsFile(std::move(file), fileName, std::move(disk));
}

void ResultsFile::WriteLayout(NcFile& file, const EnsemblePlan& plan, const EnsembleSite& site,
                              const Design& design, const std::string& version) {
  const NcDim member = file.addDim("member", design.rows.size());
  const NcDim time = file.addDim("time", site.times.size());
  const NcDim variable = file.addDim("variable", site.variables.size());
  const NcDim parameter = file.addDim("parameter", plan.parameters.size());

  file.putAtt("Conventions", "CF-1.8");
  file.putAtt("title", "Ensemble of the plan " + plan.file.filename().string());
  file.putAtt("plan_fingerprint", FingerprintText(plan.hash));
  file.putAtt("program_version", version);
  file.putAtt("seed", std::to_string(plan.seed));
  PutDesignAttributes(file, plan, design);

  NcVar times = file.addVar("time", netCDF::ncDouble, time);
  times.putAtt("units", "year");
  times.putAtt("long_name", "end of the output step");
  times.putVar(site.times.data());
  NcVar names = file.addVar("variable_name", netCDF::ncString, variable);
  for (std::size_t v = 0; v < site.variables.size(); ++v) {
    const char* text = site.variables[v].c_str();
    names.putVar({v}, &text);
  }
  NcVar symbols = file.addVar("parameter_symbol", netCDF::ncString, parameter);
  for (std::size_t j = 0; j < plan.parameters.size(); ++j) {
    const char* text = plan.parameters[j].symbol.c_str();
    symbols.putVar({j}, &text);
  }

  NcVar values = file.addVar(kValues, netCDF::ncDouble, {member, time, variable});
  values.setCompression(true, true, 1);
  // One member per chunk: members are written one at a time, as they finish.
  std::vector<std::size_t> chunk{1, std::max<std::size_t>(site.times.size(), 1),
                                 std::max<std::size_t>(site.variables.size(), 1)};
  values.setChunking(NcVar::nc_CHUNKED, chunk);
  values.setFill(true, std::numeric_limits<double>::quiet_NaN());
  values.putAtt("long_name", "value of the output variable");
  NcVar status = file.addVar(kStatus, netCDF::ncByte, member);
  status.putAtt("flag_values", "0 1 2");
  status.putAtt("flag_meanings", "missing done failed");
  status.setFill(true, static_cast<signed char>(0));
  file.addVar(kError, netCDF::ncString, member);
  NcVar parameters = file.addVar(kParameters, netCDF::ncDouble, {member, parameter});
  parameters.setFill(true, std::numeric_limits<double>::quiet_NaN());
  NcVar kept = file.addVar(kKept, netCDF::ncByte, {time, variable});
  kept.putAtt("long_name", "1 where a member that is done has a value");
  const std::vector<unsigned char> mask = KeptValues(plan, site);
  const std::vector<signed char> keptBytes(mask.begin(), mask.end());
  if (!keptBytes.empty()) kept.putVar(keptBytes.data());
  file.sync();
}

ResultsFile ResultsFile::OpenToRead(const std::string& fileName) {
  return ResultsFile(OpenResultsNetcdf(fileName, false), fileName);
}

ResultsFile ResultsFile::OpenToWrite(const std::string& fileName) {
  auto file = OpenResultsNetcdf(fileName, true);
  return ResultsFile(std::move(file), fileName, std::make_unique<DiskSync>(fileName));
}

ResultsFile ResultsFile::Open(const std::string& fileName, const EnsemblePlan& plan,
                              const Design& design) {
  ResultsFile results(OpenResultsNetcdf(fileName, true), fileName,
                      std::make_unique<DiskSync>(fileName));
  CheckMadeFrom(results, plan, design);
  return results;
}

void CheckMadeFrom(const ResultsFile& results, const EnsemblePlan& plan, const Design& design) {
  const std::string& fileName = results.Name();
  if (results.PlanFingerprint() != FingerprintText(plan.hash)) {
    const std::string seed = results.Describe().seed;
    throw EPlanError(fileName + ": made from another plan than " + plan.file.string() +
                     (!seed.empty() && seed != std::to_string(plan.seed)
                          ? " (seed " + seed + ", the plan's now " + std::to_string(plan.seed) + ")"
                          : std::string(" (its text has changed since, if only in a comment)")));
  }
  const std::size_t members = design.rows.size();
  if (results.Members() != members)
    throw EPlanError(fileName + ": holds " + std::to_string(results.Members()) +
                     " members, the design " + std::to_string(members));
  const std::string method = results.Describe().designMethod;
  const std::string anotherDesign =
      fileName + ": made from another design" +
      (!method.empty() && method != MethodName(design.method)
           ? " (method '" + method + "', not '" + MethodName(design.method) + "')"
           : std::string(" (its members ran with other parameter values)")) +
      ": run this design into a new results file";
  for (const GuardEntry& entry : GuardOf(plan, design)) {
    const std::string stored = results.GuardFingerprint(entry.attribute.c_str());
    // A file older than the guard, or an input that cannot be read now (loading names it).
    if (stored.empty() || entry.fingerprint.empty() || stored == entry.fingerprint) continue;
    if (entry.attribute == kGuardKinds[0].attribute) throw EPlanError(anotherDesign);
    throw EPlanError(fileName + ": made when " + entry.what +
                     " held other contents than now: members of the two would mix "
                     "(restore the file, or run into a new results file)");
  }
  if (!results.GuardFingerprint(kGuardKinds[0].attribute).empty()) return;
  // An older file: its finished members' parameters must be this design's.
  if (!method.empty() && method != MethodName(design.method)) throw EPlanError(anotherDesign);
  const Matrix stored = results.Parameters();
  const std::vector<MemberStatus> statuses = results.Statuses();
  for (std::size_t m = 0; m < members; ++m)
    if (statuses[m] != MemberStatus::kMissing && MemberParameters(design.rows[m]) != stored[m])
      throw EPlanError(anotherDesign);
}

std::size_t ResultsFile::Members() const {
  return file_->getDim("member").getSize();
}

std::string ResultsFile::PlanFingerprint() const {
  return TextAttribute(*file_, "plan_fingerprint");
}

std::string ResultsFile::GuardFingerprint(const char* attribute) const {
  return file_->getAtts().count(attribute) != 0 ? TextAttribute(*file_, attribute) : "";
}

ResultsDescription ResultsFile::Describe() const {
  ResultsDescription d;
  const auto attributes = file_->getAtts();
  if (attributes.count("design_method") != 0)
    d.designMethod = TextAttribute(*file_, "design_method");
  if (attributes.count("oat_step") != 0) file_->getAtt("oat_step").getValues(&d.oatStep);
  if (attributes.count("morris_levels") != 0)
    file_->getAtt("morris_levels").getValues(&d.morrisLevels);
  if (attributes.count("seed") != 0) {
    const netCDF::NcGroupAtt seed = file_->getAtt("seed");
    if (seed.getType() == netCDF::ncString || seed.getType() == netCDF::ncChar) {
      d.seed = TextAttribute(*file_, "seed");
    } else {
      unsigned long long value = 0;
      seed.getValues(&value);
      d.seed = std::to_string(value);
    }
  }
  d.times.resize(Times());
  if (!d.times.empty()) file_->getVar(cf_ ? "model_year" : "time").getVar(d.times.data());
  const auto strings = [&](const char* var, const char* dim) {
    std::vector<std::string> texts;
    const std::size_t n = file_->getDim(dim).getSize();
    std::vector<char*> raw(n, nullptr);
    if (n > 0) file_->getVar(var).getVar(raw.data());
    for (char* text : raw) {
      texts.emplace_back(text != nullptr ? text : "");
      std::free(text);
    }
    return texts;
  };
  d.variables = cf_ ? ReadCfOutputs(*file_).names : strings("variable_name", "variable");
  d.parameters = strings(cf_ ? "parameter" : "parameter_symbol", "parameter");
  return d;
}

Matrix ResultsFile::Parameters() const {
  const std::size_t members = Members();
  const std::size_t k = file_->getDim("parameter").getSize();
  std::vector<double> flat(members * k);
  if (!flat.empty()) file_->getVar(kParameters).getVar(flat.data());
  Matrix rows(members, std::vector<double>(k));
  for (std::size_t m = 0; m < members; ++m)
    std::copy_n(flat.begin() + static_cast<std::ptrdiff_t>(m * k), k, rows[m].begin());
  return rows;
}

void ResultsFile::ReadValues(std::size_t first, std::size_t count, std::size_t firstVariable,
                             std::size_t variables, double* out) const {
  const std::size_t times = Times();
  if (count * times * variables == 0) return;
  if (!cf_) {
    file_->getVar(kValues).getVar({first, 0, firstVariable}, {count, times, variables}, out);
    return;
  }
  std::vector<double> column(times * count);
  for (std::size_t v = 0; v < variables; ++v) {
    file_->getVar(outputVariables_.at(firstVariable + v))
        .getVar({0, first}, {times, count}, column.data());
    for (std::size_t t = 0; t < times; ++t)
      for (std::size_t i = 0; i < count; ++i)
        out[(i * times + t) * variables + v] = column[t * count + i];
  }
}

std::size_t ResultsFile::Times() const {
  return file_->getDim("time").getSize();
}

std::size_t ResultsFile::Outputs() const {
  return cf_ ? outputVariables_.size() : file_->getDim("variable").getSize();
}

std::vector<MemberStatus> ResultsFile::Statuses() const {
  std::vector<signed char> raw(Members());
  if (!raw.empty()) file_->getVar(kStatus).getVar(raw.data());
  std::vector<MemberStatus> statuses;
  for (const signed char s : raw) statuses.push_back(static_cast<MemberStatus>(s));
  for (const auto& [member, status] : held_) statuses.at(member) = status;
  return statuses;
}

std::vector<std::size_t> ResultsFile::DoneWithoutValues() const {
  const std::vector<MemberStatus> statuses = Statuses();
  const std::size_t cells = Times() * Outputs();
  std::vector<std::size_t> done;
  for (std::size_t m = 0; m < statuses.size(); ++m)
    if (statuses[m] == MemberStatus::kDone) done.push_back(m);
  if (cells == 0 || done.empty()) return {};
  // Read a block of members at a time: one chunk each, in the order stored.
  const auto eachDone = [&](const auto& visit) {
    constexpr std::size_t kBlock = 64;
    std::vector<double> values;
    for (std::size_t first = 0; first < statuses.size(); first += kBlock) {
      const std::size_t count = std::min(kBlock, statuses.size() - first);
      values.resize(count * cells);
      ReadValues(first, count, 0, Outputs(), values.data());
      for (std::size_t k = 0; k < count; ++k)
        if (statuses[first + k] == MemberStatus::kDone) visit(first + k, &values[k * cells]);
    }
  };
  std::vector<signed char> kept(cells, 0);
  if (!file_->getVar(kKept).isNull()) {
    file_->getVar(kKept).getVar(kept.data());
  } else {
    // An older file: what any member done holds, every member done must hold.
    eachDone([&](std::size_t, const double* v) {
      for (std::size_t c = 0; c < cells; ++c) kept[c] = kept[c] || !std::isnan(v[c]);
    });
    if (std::find(kept.begin(), kept.end(), 1) == kept.end()) return done;
  }
  std::vector<std::size_t> lacking;
  eachDone([&](std::size_t m, const double* v) {
    for (std::size_t c = 0; c < cells; ++c)
      if (kept[c] != 0 && std::isnan(v[c])) {
        lacking.push_back(m);
        return;
      }
  });
  return lacking;
}

std::vector<signed char> ResultsFile::KeptMask() const {
  std::vector<signed char> kept(Times() * Outputs(), 1);
  if (!kept.empty() && !file_->getVar(kKept).isNull()) file_->getVar(kKept).getVar(kept.data());
  return kept;
}

std::vector<MemberStatus> ResultsFile::CheckedStatuses() const {
  std::vector<MemberStatus> statuses = Statuses();
  for (const std::size_t m : DoneWithoutValues()) statuses[m] = MemberStatus::kMissing;
  return statuses;
}

void ResultsFile::WriteMember(std::size_t member, const std::vector<double>& parameters,
                              const MemberResult& result) {
  // A write the disk has no room for can leave the library's index of the file half written,
  // so that the file no longer opens: the run stops before it, while the file is whole. The
  // members held back until the next sync need their room too (uncompressed, to be safe).
  const std::size_t memberBytes =
      (result.values.size() + parameters.size()) * sizeof(double) + result.error.size() + 256;
  const std::uintmax_t needed = (held_.size() + 2) * memberBytes + 64 * 1024;
  std::error_code ec;
  const auto space = std::filesystem::space(std::filesystem::absolute(name_, ec).parent_path(), ec);
  if (!ec && space.available < needed)
    throw EResultsError(name_ + ": cannot be written: " + kDiskFull);
  Writing(name_, [&] { PutMember(member, parameters, result); });
}

void ResultsFile::PutMember(std::size_t member, const std::vector<double>& parameters,
                            const MemberResult& result) {
  const std::size_t times = Times();
  const std::size_t variables = Outputs();
  if (times * variables > 0 && !cf_)
    file_->getVar(kValues).putVar({member, 0, 0}, {1, times, variables}, result.values.data());
  if (times * variables > 0 && cf_) {
    std::vector<double> column(times);
    for (std::size_t v = 0; v < variables; ++v) {
      for (std::size_t t = 0; t < times; ++t) column[t] = result.values[t * variables + v];
      file_->getVar(outputVariables_[v]).putVar({0, member}, {times, 1}, column.data());
    }
  }
  if (!parameters.empty())
    file_->getVar(kParameters).putVar({member, 0}, {1, parameters.size()}, parameters.data());
  const char* error = result.error.c_str();
  file_->getVar(kError).putVar({member}, &error);
  held_.emplace_back(member, result.failed ? MemberStatus::kFailed : MemberStatus::kDone);
}

const MemberStatus* ResultsFile::HeldFor(std::size_t member) const {
  for (auto h = held_.rbegin(); h != held_.rend(); ++h)
    if (h->first == member) return &h->second;
  return nullptr;
}

// Two syncs: the first puts the members' values, parameters and error texts into the file on
// disk, the second their statuses (a few bytes in place). A process killed during either
// leaves no member called finished whose values are not there.
void ResultsFile::SyncInTwo() {
  file_->sync();
  if (held_.empty()) return;
  const NcVar statuses = file_->getVar(kStatus);
  for (const auto& [member, status] : held_) {
    const auto byte = static_cast<signed char>(status);
    statuses.putVar({member}, &byte);
  }
  held_.clear();
  file_->sync();
}

void ResultsFile::Flush() {
  if (!disk_) return;  // opened to read
  Writing(name_, [&] {
    SyncInTwo();
    disk_->Request();
  });
}

void ResultsFile::Close() {
  if (!file_) return;
  Writing(name_, [&] {
    try {
      if (disk_) SyncInTwo();
      file_->close();
    } catch (...) {
      // The library's file object would try to close again when destroyed and print that
      // failure itself: the file is closed here, quietly, and the object given up (the error
      // is reported once, by the caller).
      nc_close(file_->getId());
      static_cast<void>(file_.release());
      throw;
    }
    file_.reset();
    if (!disk_) return;
    const std::unique_ptr<DiskSync> disk = std::move(disk_);
    disk->Request();
    disk->Wait();
  });
}

MemberResult ResultsFile::ReadMember(std::size_t m, std::vector<double>* parameters) const {
  const std::size_t times = Times();
  const std::size_t variables = Outputs();
  if (m >= Members()) throw std::out_of_range(name_ + ": no member " + std::to_string(m));
  MemberResult result;
  signed char status = 0;
  file_->getVar(kStatus).getVar({m}, &status);
  if (const MemberStatus* held = HeldFor(m)) status = static_cast<signed char>(*held);
  result.failed = static_cast<MemberStatus>(status) == MemberStatus::kFailed;
  result.values.resize(times * variables);
  if (!result.values.empty()) ReadValues(m, 1, 0, variables, result.values.data());
  if (parameters != nullptr) {
    parameters->resize(file_->getDim("parameter").getSize());
    if (!parameters->empty())
      file_->getVar(kParameters).getVar({m, 0}, {1, parameters->size()}, parameters->data());
  }
  result.error = ErrorOf(m);
  return result;
}

std::string ResultsFile::ErrorOf(std::size_t m) const {
  char* error = nullptr;
  file_->getVar(kError).getVar({m}, &error);
  if (error == nullptr) return {};
  std::string text = error;
  std::free(error);
  return text;
}

}  // namespace kvsorv::ensemble
