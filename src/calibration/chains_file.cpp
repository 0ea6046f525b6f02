#include "calibration/chains_file.h"

#include <cstdio>
#include <filesystem>
#include <netcdf>
#include <system_error>

#include "ensemble/posterior_draws.h"
#include "ensemble/results_open.h"

namespace kvsorv::calibration {

using netCDF::NcDim;
using netCDF::NcFile;
using netCDF::NcVar;
using netCDF::exceptions::NcException;

namespace {

constexpr int kChainsFormat = 1;
constexpr const char* kKindAttribute = "calibration_file";

std::string Hex(std::uint64_t x) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(x));
  return text;
}

constexpr const char* kChecksumAttribute = ensemble::kChainsChecksumAttribute;
constexpr const char* kCheckedAttribute = ensemble::kChainsSyncedAttribute;
constexpr std::uint64_t kChecksumStart = ensemble::kChainsChecksumStart;
using ensemble::GenerationChecksum;

// Global attributes rewritten at the same size while generations are appended. The C++
// interface would put the file back into define mode for them; the C one writes them in place.
void PutInDataMode(NcFile& file, const char* name, const std::string& text) {
  netCDF::ncCheck(nc_put_att_text(file.getId(), NC_GLOBAL, name, text.size(), text.c_str()),
                  __FILE__, __LINE__);
}
void PutInDataMode(NcFile& file, const char* name, int value) {
  netCDF::ncCheck(nc_put_att_int(file.getId(), NC_GLOBAL, name, NC_INT, 1, &value), __FILE__,
                  __LINE__);
}

std::string TextAttribute(const NcFile& file, const char* name) {
  const auto atts = file.getAtts();
  const auto a = atts.find(name);
  if (a == atts.end()) return "";
  std::string value;
  a->second.getValues(value);
  return value;
}

int IntAttribute(const NcFile& file, const char* name, const std::string& fileName) {
  const auto atts = file.getAtts();
  const auto a = atts.find(name);
  if (a == atts.end())
    throw EChainsError(fileName + ": not a chains file of this program (no '" + name + "')");
  int value = 0;
  a->second.getValues(&value);
  return value;
}

std::unique_ptr<NcFile> OpenNetcdf(const std::string& fileName, NcFile::FileMode mode) {
  try {
    return std::make_unique<NcFile>(fileName, mode);
  } catch (const NcException& e) {
    std::string text = ensemble::CannotOpen(fileName, e.errorCode(), false);
    const std::string noResults = "not a results file (not a netCDF-4 file)";
    if (const std::size_t at = text.find(noResults); at != std::string::npos)
      text.replace(at, noResults.size(), "not a chains file (not a netCDF file)");
    throw EChainsError(text);
  }
}

void PutHeader(NcFile& file, const ChainsHeader& h) {
  file.putAtt(kKindAttribute, "chains");
  file.putAtt("calibration_format", netCDF::ncInt, kChainsFormat);
  file.putAtt("method", h.method);
  file.putAtt("seed", std::to_string(h.seed));
  file.putAtt("plan_fingerprint", Hex(h.planHash));
  file.putAtt("plan_file", h.planFile);
  file.putAtt("program_version", h.version);
  file.putAtt("chains", netCDF::ncInt, h.chains);
  file.putAtt("generations_planned", netCDF::ncInt, h.sampler.generations);
  file.putAtt(ensemble::kChainsBurnInAttribute, netCDF::ncInt, h.sampler.burnIn);
  file.putAtt(ensemble::kChainsThinningAttribute, netCDF::ncInt, h.sampler.thinning);
  file.putAtt("archive_every", netCDF::ncInt, h.sampler.archiveEvery);
  file.putAtt("adapt_after", netCDF::ncInt, h.sampler.adaptAfter);
  file.putAtt(kChecksumAttribute, Hex(kChecksumStart));
  file.putAtt(kCheckedAttribute, netCDF::ncInt, 0);
}

ChainsHeader GetHeader(const NcFile& file, const std::string& fileName) {
  if (TextAttribute(file, kKindAttribute) == "fit")
    throw EChainsError(fileName + ": holds a fit, not chains (give it to --start-from)");
  if (TextAttribute(file, kKindAttribute) != "chains")
    throw EChainsError(fileName + ": not a chains file of this program");
  if (IntAttribute(file, "calibration_format", fileName) > kChainsFormat)
    throw EChainsError(fileName + ": made by a later version of the program");
  ChainsHeader h;
  h.method = TextAttribute(file, "method");
  h.seed = std::stoull(TextAttribute(file, "seed"));
  h.planHash = std::stoull(TextAttribute(file, "plan_fingerprint"), nullptr, 16);
  h.planFile = TextAttribute(file, "plan_file");
  h.version = TextAttribute(file, "program_version");
  h.chains = IntAttribute(file, "chains", fileName);
  h.sampler.chains = h.chains;
  h.sampler.generations = IntAttribute(file, "generations_planned", fileName);
  h.sampler.burnIn = IntAttribute(file, ensemble::kChainsBurnInAttribute, fileName);
  h.sampler.thinning = IntAttribute(file, ensemble::kChainsThinningAttribute, fileName);
  h.sampler.archiveEvery = IntAttribute(file, "archive_every", fileName);
  h.sampler.adaptAfter = IntAttribute(file, "adapt_after", fileName);
  return h;
}

}  // namespace

Generation ChainsContents::GenerationAt(std::size_t g) const {
  Generation out;
  const std::size_t chains = static_cast<std::size_t>(header.chains), d = Dimension();
  for (std::size_t c = 0; c < chains; ++c) {
    const std::size_t at = g * chains + c;
    ChainState s;
    s.x.assign(draws.begin() + static_cast<std::ptrdiff_t>(at * d),
               draws.begin() + static_cast<std::ptrdiff_t>((at + 1) * d));
    s.at = {.logPosterior = logPosterior[at], .logLikelihood = logLikelihood[at], .failed = false};
    out.chains.push_back(std::move(s));
    out.accepted.push_back(accepted[at]);
    out.failed.push_back(failed[at]);
  }
  return out;
}

ChainsWriter::ChainsWriter(std::unique_ptr<NcFile> file, std::string name, std::size_t chains,
                           std::size_t dimension, std::size_t generations, std::uint64_t checksum)
    : file_(std::move(file)),
      name_(std::move(name)),
      chains_(chains),
      dimension_(dimension),
      generations_(generations),
      checksum_(checksum) {}

ChainsWriter::ChainsWriter(ChainsWriter&&) noexcept = default;
ChainsWriter& ChainsWriter::operator=(ChainsWriter&&) noexcept = default;

ChainsWriter::~ChainsWriter() {
  if (!file_) return;
  try {
    file_->close();
  } catch (...) {  // reported by Close, when it is called
    // A close that failed leaves the library's handle half freed: closing it again, as the
    // object's destructor would, crashes. The small object is left behind instead.
    (void)file_.release();
  }
}

void ChainsWriter::Fail(const std::string& doing, int code) const {
  if (ensemble::DiskFullFor(name_, code))
    throw EChainsError(name_ + ": cannot be " + doing + ": " + ensemble::kDiskFull);
  throw EChainsError(name_ + ": cannot be " + doing + " (" + std::to_string(code) + ")");
}

ChainsWriter ChainsWriter::Create(const std::string& fileName, const ChainsHeader& header,
                                  const std::vector<std::vector<double>>& archive,
                                  const std::vector<ChainState>& starts) {
  std::unique_ptr<NcFile> file;
  try {
    file = std::make_unique<NcFile>(fileName, NcFile::replace, NcFile::classic64);
  } catch (const NcException& e) {
    std::error_code ignored;
    std::filesystem::remove(fileName, ignored);
    std::string text = ensemble::CannotOpen(fileName, e.errorCode(), true);
    throw EChainsError(text);
  }
  const std::size_t d = header.names.size(), chains = starts.size();
  try {
    const std::size_t width = ensemble::NameTableWidth(header.names);
    const NcDim generation = file->addDim("generation");
    const NcDim chain = file->addDim("chain", chains);
    const NcDim parameter = file->addDim("parameter", d);
    const NcDim nameLength = file->addDim("name_length", width);
    const NcDim archiveDim = file->addDim("archive", std::max<std::size_t>(1, archive.size()));
    PutHeader(*file, header);
    file->putAtt("archive_size", netCDF::ncInt, static_cast<int>(archive.size()));
    NcVar names =
        file->addVar(ensemble::kChainsNameVariable, netCDF::ncChar, {parameter, nameLength});
    NcVar archiveVar = file->addVar("archive", netCDF::ncDouble, {archiveDim, parameter});
    NcVar start = file->addVar("start", netCDF::ncDouble, {chain, parameter});
    NcVar startLp = file->addVar("start_log_posterior", netCDF::ncDouble, {chain});
    NcVar startLl = file->addVar("start_log_likelihood", netCDF::ncDouble, {chain});
    NcVar draw = file->addVar(ensemble::kChainsDrawVariable, netCDF::ncDouble,
                              {generation, chain, parameter});
    draw.putAtt("long_name", "each chain's state after the generation");
    file->addVar("log_posterior", netCDF::ncDouble, {generation, chain});
    file->addVar("log_likelihood", netCDF::ncDouble, {generation, chain});
    NcVar accepted = file->addVar("accepted", netCDF::ncByte, {generation, chain});
    accepted.putAtt("long_name", "1 where the chain's proposal was accepted");
    NcVar failed = file->addVar("failed", netCDF::ncByte, {generation, chain});
    failed.putAtt("long_name", "1 where the run of the chain's proposal failed");

    names.putVar(ensemble::NameTableText(header.names).data());
    std::vector<double> flat;
    for (const auto& row : archive) flat.insert(flat.end(), row.begin(), row.end());
    if (!flat.empty()) archiveVar.putVar(flat.data());
    flat.clear();
    std::vector<double> lp, ll;
    for (const ChainState& s : starts) {
      flat.insert(flat.end(), s.x.begin(), s.x.end());
      lp.push_back(s.at.logPosterior);
      ll.push_back(s.at.logLikelihood);
    }
    start.putVar(flat.data());
    startLp.putVar(lp.data());
    startLl.putVar(ll.data());
    file->sync();
  } catch (const NcException& e) {
    file.reset();
    std::error_code ignored;
    std::filesystem::remove(fileName, ignored);
    if (ensemble::DiskFullFor(fileName, e.errorCode()))
      throw EChainsError(fileName + ": cannot be created: " + ensemble::kDiskFull);
    throw EChainsError(fileName + ": cannot be created: " + e.what());
  }
  return ChainsWriter(std::move(file), fileName, chains, d, 0, kChecksumStart);
}

ChainsWriter ChainsWriter::Append(const std::string& fileName) {
  // The generations the checksum vouches for; any after them (written, never synced) are
  // written over.
  const ChainsContents c = ReadChains(fileName);
  std::unique_ptr<NcFile> file = OpenNetcdf(fileName, NcFile::write);
  const std::size_t dimension = file->getDim("parameter").getSize();
  const std::uint64_t checksum = std::stoull(TextAttribute(*file, kChecksumAttribute), nullptr, 16);
  return ChainsWriter(std::move(file), fileName, static_cast<std::size_t>(c.header.chains),
                      dimension, c.generations, checksum);
}

void ChainsWriter::Write(const Generation& g) {
  std::vector<double> draws, lp, ll;
  for (const ChainState& s : g.chains) {
    draws.insert(draws.end(), s.x.begin(), s.x.end());
    lp.push_back(s.at.logPosterior);
    ll.push_back(s.at.logLikelihood);
  }
  std::vector<signed char> accepted(g.accepted.begin(), g.accepted.end());
  std::vector<signed char> failed(g.failed.begin(), g.failed.end());
  try {
    const std::vector<std::size_t> at{generations_, 0, 0}, count{1, chains_, dimension_};
    file_->getVar(ensemble::kChainsDrawVariable).putVar(at, count, draws.data());
    const std::vector<std::size_t> at2{generations_, 0}, count2{1, chains_};
    file_->getVar("log_posterior").putVar(at2, count2, lp.data());
    file_->getVar("log_likelihood").putVar(at2, count2, ll.data());
    file_->getVar("accepted").putVar(at2, count2, accepted.data());
    file_->getVar("failed").putVar(at2, count2, failed.data());
  } catch (const NcException& e) {
    Fail("written", e.errorCode());
  }
  checksum_ = GenerationChecksum(checksum_, draws.data(), draws.size(), lp.data(), ll.data(),
                                 accepted.data(), failed.data(), chains_);
  ++generations_;
}

void ChainsWriter::SetPlannedGenerations(int generations) {
  try {
    // An int in place of an int: the header keeps its size, so no redefinition is needed.
    PutInDataMode(*file_, "generations_planned", generations);
  } catch (const NcException& e) {
    Fail("written", e.errorCode());
  }
}

void ChainsWriter::Sync() {
  try {
    // The data first, then the checksum that vouches for them (of the same size each time, so
    // the header keeps its size).
    file_->sync();
    PutInDataMode(*file_, kChecksumAttribute, Hex(checksum_));
    PutInDataMode(*file_, kCheckedAttribute, static_cast<int>(generations_));
    file_->sync();
  } catch (const NcException& e) {
    Fail("written", e.errorCode());
  }
}

void ChainsWriter::Close() {
  if (!file_) return;
  Sync();
  try {
    file_->close();
    file_.reset();
  } catch (const NcException& e) {
    (void)file_.release();  // as in the destructor: never closed twice
    Fail("written", e.errorCode());
  }
}

ChainsContents ReadChains(const std::string& fileName) {
  const std::unique_ptr<NcFile> file = OpenNetcdf(fileName, NcFile::read);
  ChainsContents c;
  c.header = GetHeader(*file, fileName);
  try {
    c.header.names = ensemble::ReadNameTable(file->getVar(ensemble::kChainsNameVariable));
    const std::size_t chains = static_cast<std::size_t>(c.header.chains), d = c.Dimension();
    if (file->getDim("chain").getSize() != chains)
      throw EChainsError(fileName + ": its chains do not agree with its 'chains' attribute");
    const int archiveSize = IntAttribute(*file, "archive_size", fileName);
    std::vector<double> flat(static_cast<std::size_t>(archiveSize) * d);
    if (!flat.empty()) file->getVar("archive").getVar(flat.data());
    for (int i = 0; i < archiveSize; ++i)
      c.archive.emplace_back(flat.begin() + static_cast<std::ptrdiff_t>(i * d),
                             flat.begin() + static_cast<std::ptrdiff_t>((i + 1) * d));
    flat.assign(chains * d, 0);
    std::vector<double> lp(chains), ll(chains);
    file->getVar("start").getVar(flat.data());
    file->getVar("start_log_posterior").getVar(lp.data());
    file->getVar("start_log_likelihood").getVar(ll.data());
    for (std::size_t k = 0; k < chains; ++k)
      c.starts.push_back(
          {.x = std::vector<double>(flat.begin() + static_cast<std::ptrdiff_t>(k * d),
                                    flat.begin() + static_cast<std::ptrdiff_t>((k + 1) * d)),
           .at = {.logPosterior = lp[k], .logLikelihood = ll[k]}});
    const std::size_t records = file->getDim("generation").getSize();
    c.generations = static_cast<std::size_t>(IntAttribute(*file, kCheckedAttribute, fileName));
    if (c.generations > records)
      throw EChainsError(fileName + ": cut short: " + std::to_string(records) +
                         " generations where its last sync wrote " + std::to_string(c.generations));
    const std::size_t n = c.generations * chains;
    c.draws.resize(n * d);
    c.logPosterior.resize(n);
    c.logLikelihood.resize(n);
    std::vector<signed char> accepted(n), failed(n);
    if (n > 0) {
      const std::vector<std::size_t> at{0, 0, 0}, count{c.generations, chains, d};
      file->getVar(ensemble::kChainsDrawVariable).getVar(at, count, c.draws.data());
      const std::vector<std::size_t> at2{0, 0}, count2{c.generations, chains};
      file->getVar("log_posterior").getVar(at2, count2, c.logPosterior.data());
      file->getVar("log_likelihood").getVar(at2, count2, c.logLikelihood.data());
      file->getVar("accepted").getVar(at2, count2, accepted.data());
      file->getVar("failed").getVar(at2, count2, failed.data());
    }
    std::uint64_t checksum = kChecksumStart;
    for (std::size_t g = 0; g < c.generations; ++g)
      checksum = GenerationChecksum(
          checksum, c.draws.data() + g * chains * d, chains * d, c.logPosterior.data() + g * chains,
          c.logLikelihood.data() + g * chains, accepted.data() + g * chains,
          failed.data() + g * chains, chains);
    if (Hex(checksum) != TextAttribute(*file, kChecksumAttribute))
      throw EChainsError(ensemble::DamagedChainsMessage(fileName));
    c.accepted.assign(accepted.begin(), accepted.end());
    c.failed.assign(failed.begin(), failed.end());
  } catch (const NcException& e) {
    throw EChainsError(fileName + ": not a chains file of this program (" + e.what() + ")");
  }
  return c;
}

std::string CalibrationFileKind(const std::string& fileName) {
  try {
    const NcFile file(fileName, NcFile::read);
    return TextAttribute(file, kKindAttribute);
  } catch (const NcException&) {
    return "";
  }
}

}  // namespace kvsorv::calibration
