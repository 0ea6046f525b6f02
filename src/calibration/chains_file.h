#pragma once
// The chains of a calibration in a netCDF file (64-bit offset format, whose records a killed
// process leaves readable up to the last sync; a checksum of the generations, written with
// every sync, tells a file cut short or damaged from a whole one): the sampled quantities' names,
// the archive and the chains' starts, and for every generation each chain's state, log-posterior
// and log-likelihood, and whether its proposal was accepted or failed. Generations are appended as
// they finish; the file's attributes name the method, the seed, the sampler's settings and the
// plan's fingerprint, so that a resume continues only the calibration it began.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "calibration/calibration_plan.h"
#include "calibration/target.h"

namespace netCDF {
class NcFile;
}

namespace kvsorv::calibration {

// A chains file that cannot be made, written or read, or is no chains file: the message names
// the file and says what is wrong.
class EChainsError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ChainsHeader {
  std::string method;              // "dezs" or "am"
  std::vector<std::string> names;  // of the sampled quantities
  int chains = 0;
  std::uint64_t seed = 0;
  std::uint64_t planHash = 0;
  std::string planFile;     // absolute
  std::string version;      // of the program
  SamplerSettings sampler;  // generations: those planned
};

// Everything a chains file holds; the generations flattened: draws[(g * chains + c) * d + j].
struct ChainsContents {
  ChainsHeader header;
  std::vector<std::vector<double>> archive;  // the initial past samples (dezs), may be empty
  std::vector<ChainState> starts;
  std::size_t generations = 0;
  std::vector<double> draws;
  std::vector<double> logPosterior, logLikelihood;  // [g * chains + c]
  std::vector<unsigned char> accepted, failed;

  std::size_t Dimension() const { return header.names.size(); }
  double Draw(std::size_t g, std::size_t c, std::size_t j) const {
    return draws[(g * header.chains + c) * Dimension() + j];
  }
  Generation GenerationAt(std::size_t g) const;
};

class ChainsWriter {
 public:
  // A new file (replacing one of that name). EChainsError naming the file and the cause.
  static ChainsWriter Create(const std::string& fileName, const ChainsHeader& header,
                             const std::vector<std::vector<double>>& archive,
                             const std::vector<ChainState>& starts);
  // An existing file, to append generations after those it holds. EChainsError.
  static ChainsWriter Append(const std::string& fileName);

  ChainsWriter(ChainsWriter&&) noexcept;
  ChainsWriter& operator=(ChainsWriter&&) noexcept;
  ~ChainsWriter();

  // Writes the next generation (it reaches the disk with the next Sync). EChainsError.
  void Write(const Generation& g);
  // The generations written so far, to the disk. EChainsError.
  void Sync();
  // Records the generations now planned in all (a resumed calibration asked for more).
  void SetPlannedGenerations(int generations);
  // Syncs and closes. EChainsError.
  void Close();
  std::size_t Generations() const { return generations_; }

 private:
  ChainsWriter(std::unique_ptr<netCDF::NcFile> file, std::string name, std::size_t chains,
               std::size_t dimension, std::size_t generations, std::uint64_t checksum);
  [[noreturn]] void Fail(const std::string& doing, int code) const;

  std::unique_ptr<netCDF::NcFile> file_;
  std::string name_;
  std::size_t chains_ = 0, dimension_ = 0, generations_ = 0;
  std::uint64_t checksum_ = 0;  // of the generations written, recorded with every sync
};

// The generations up to the last sync. Failures: EChainsError naming the file (cannot be
// opened, not a chains file, a fit file, generations that do not match their checksum).
ChainsContents ReadChains(const std::string& fileName);

// Whether the file is a chains or fit file of this program (reads its attributes only).
std::string CalibrationFileKind(const std::string& fileName);  // "chains", "fit" or ""

}  // namespace kvsorv::calibration
