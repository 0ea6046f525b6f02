#pragma once
// The posterior a calibration's chains file holds, as a plan draws from it: every chain's
// state at each generation after the burn-in, every thinning-th, read with the names of the
// quantities sampled. Rows keep the parameters' joint values, so that their correlations
// carry into an ensemble.

#include <cstdint>
#include <string>
#include <vector>

namespace netCDF {
class NcVar;
}

namespace kvsorv::ensemble {

// The names of a chains file's variables and attributes that a reader of its posterior needs.
inline constexpr const char* kChainsDrawVariable = "draw";
inline constexpr const char* kChainsNameVariable = "parameter";
inline constexpr const char* kChainsBurnInAttribute = "burn_in";
inline constexpr const char* kChainsThinningAttribute = "thinning";
// The generations the last sync vouched for; any after them were never finished.
inline constexpr const char* kChainsSyncedAttribute = "generations_synced";

// The checksum of a chains file's synced generations (16 hexadecimal digits) and where it
// starts: FNV-1a over each generation's draws, log-posteriors, log-likelihoods, accepted and
// failed flags in turn, as the file stores them.
inline constexpr const char* kChainsChecksumAttribute = "generations_checksum";
inline constexpr std::uint64_t kChainsChecksumStart = 0xcbf29ce484222325ULL;
std::uint64_t GenerationChecksum(std::uint64_t h, const double* draws, std::size_t n,
                                 const double* lp, const double* ll, const signed char* accepted,
                                 const signed char* failed, std::size_t chains);
// The message of a file whose generations do not match their checksum.
std::string DamagedChainsMessage(const std::string& fileName);

// The names of a calibration file's sampled quantities: a char variable (name, name_length),
// each name padded with NULs. Failures: netCDF's exceptions.
std::vector<std::string> ReadNameTable(const netCDF::NcVar& names);
// The name_length such a variable needs, and its padded text.
std::size_t NameTableWidth(const std::vector<std::string>& names);
std::vector<char> NameTableText(const std::vector<std::string>& names);

struct PosteriorDraws {
  std::string file;
  std::vector<std::string> names;
  std::vector<std::vector<double>>
      rows;  // a draw per row, generation by generation, chains in order
};

// Failures: std::runtime_error naming the file when it is no chains file, is cut short or
// damaged (its generations do not match their checksum), or holds no generation after its
// burn-in.
PosteriorDraws ReadPosteriorDraws(const std::string& fileName);

// The draw each of `members` members takes: a seeded choice without repetition among
// `draws`. Failures: std::invalid_argument when members exceed draws.
std::vector<std::size_t> PosteriorChoice(std::size_t members, std::size_t draws,
                                         std::uint64_t seed);

}  // namespace kvsorv::ensemble
