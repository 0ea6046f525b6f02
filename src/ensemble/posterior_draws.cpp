#include "ensemble/posterior_draws.h"

#include <algorithm>
#include <cstdio>
#include <netcdf>
#include <numeric>
#include <stdexcept>

#include "ensemble/seeded_random.h"

namespace kvsorv::ensemble {

namespace {

constexpr std::uint64_t kPosteriorStream = 6;

int IntAttribute(const netCDF::NcFile& file, const char* name, const std::string& fileName) {
  const auto atts = file.getAtts();
  const auto a = atts.find(name);
  if (a == atts.end())
    throw std::runtime_error(fileName + ": not a calibration's chains file (no '" + name + "')");
  int value = 0;
  a->second.getValues(&value);
  return value;
}

}  // namespace

namespace {

std::uint64_t Checksum(std::uint64_t h, const void* data, std::size_t bytes) {
  const auto* b = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < bytes; ++i) {
    h ^= b[i];
    h *= 0x100000001b3ULL;
  }
  return h;
}

std::string Hex(std::uint64_t x) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(x));
  return text;
}

}  // namespace

std::uint64_t GenerationChecksum(std::uint64_t h, const double* draws, std::size_t n,
                                 const double* lp, const double* ll, const signed char* accepted,
                                 const signed char* failed, std::size_t chains) {
  h = Checksum(h, draws, n * sizeof(double));
  h = Checksum(h, lp, chains * sizeof(double));
  h = Checksum(h, ll, chains * sizeof(double));
  h = Checksum(h, accepted, chains);
  return Checksum(h, failed, chains);
}

std::string DamagedChainsMessage(const std::string& fileName) {
  return fileName +
         ": damaged or cut short: its generations do not match the checksum written with them";
}

std::vector<std::string> ReadNameTable(const netCDF::NcVar& names) {
  const std::size_t n = names.getDim(0).getSize(), width = names.getDim(1).getSize();
  std::vector<char> text(n * width);
  if (!text.empty()) names.getVar(text.data());
  std::vector<std::string> read;
  for (std::size_t i = 0; i < n; ++i) {
    std::string name(text.data() + i * width, width);
    name.resize(std::min(name.find('\0'), width));
    read.push_back(name);
  }
  return read;
}

std::size_t NameTableWidth(const std::vector<std::string>& names) {
  std::size_t width = 1;
  for (const std::string& n : names) width = std::max(width, n.size());
  return width;
}

std::vector<char> NameTableText(const std::vector<std::string>& names) {
  const std::size_t width = NameTableWidth(names);
  std::vector<char> text(names.size() * width, '\0');
  for (std::size_t j = 0; j < names.size(); ++j) names[j].copy(text.data() + j * width, width);
  return text;
}

PosteriorDraws ReadPosteriorDraws(const std::string& fileName) {
  PosteriorDraws p;
  p.file = fileName;
  try {
    const netCDF::NcFile file(fileName, netCDF::NcFile::read);
    const int burnIn = IntAttribute(file, kChainsBurnInAttribute, fileName);
    const int thinning = std::max(1, IntAttribute(file, kChainsThinningAttribute, fileName));
    const netCDF::NcVar names = file.getVar(kChainsNameVariable);
    const netCDF::NcVar draw = file.getVar(kChainsDrawVariable);
    if (names.isNull() || draw.isNull() || draw.getDimCount() != 3)
      throw std::runtime_error(fileName + ": not a calibration's chains file");
    p.names = ReadNameTable(names);
    const std::size_t d = p.names.size();
    const std::size_t generations =
        std::min(draw.getDim(0).getSize(),
                 static_cast<std::size_t>(IntAttribute(file, kChainsSyncedAttribute, fileName)));
    const std::size_t chains = draw.getDim(1).getSize();
    if (generations <= static_cast<std::size_t>(burnIn))
      throw std::runtime_error(fileName + ": holds " + std::to_string(generations) +
                               " generations, none after its burn-in of " + std::to_string(burnIn) +
                               "; continue the calibration first");
    // Every synced generation, to check them against their checksum before any is used.
    const std::size_t n = generations * chains;
    std::vector<double> draws(n * d), lp(n), ll(n);
    std::vector<signed char> accepted(n), failed(n);
    draw.getVar({0, 0, 0}, {generations, chains, d}, draws.data());
    file.getVar("log_posterior").getVar({0, 0}, {generations, chains}, lp.data());
    file.getVar("log_likelihood").getVar({0, 0}, {generations, chains}, ll.data());
    file.getVar("accepted").getVar({0, 0}, {generations, chains}, accepted.data());
    file.getVar("failed").getVar({0, 0}, {generations, chains}, failed.data());
    std::uint64_t checksum = kChainsChecksumStart;
    for (std::size_t g = 0; g < generations; ++g)
      checksum = GenerationChecksum(
          checksum, draws.data() + g * chains * d, chains * d, lp.data() + g * chains,
          ll.data() + g * chains, accepted.data() + g * chains, failed.data() + g * chains, chains);
    std::string recorded;
    const auto atts = file.getAtts();
    if (const auto a = atts.find(kChainsChecksumAttribute); a != atts.end())
      a->second.getValues(recorded);
    if (Hex(checksum) != recorded) throw std::runtime_error(DamagedChainsMessage(fileName));
    for (std::size_t g = static_cast<std::size_t>(burnIn); g < generations;
         g += static_cast<std::size_t>(thinning))
      for (std::size_t c = 0; c < chains; ++c) {
        const auto first = draws.begin() + static_cast<std::ptrdiff_t>((g * chains + c) * d);
        p.rows.emplace_back(first, first + static_cast<std::ptrdiff_t>(d));
      }
  } catch (const netCDF::exceptions::NcException& e) {
    throw std::runtime_error(fileName + ": cannot be read as a calibration's chains file (" +
                             e.what() + ")");
  }
  return p;
}

std::vector<std::size_t> PosteriorChoice(std::size_t members, std::size_t draws,
                                         std::uint64_t seed) {
  if (members > draws) throw std::invalid_argument("more members than draws");
  std::vector<std::size_t> order(draws);
  std::iota(order.begin(), order.end(), 0);
  SeededEngine g = StreamEngine(seed, kPosteriorStream, 0);
  Shuffle(order, g);
  order.resize(members);
  return order;
}

}  // namespace kvsorv::ensemble
