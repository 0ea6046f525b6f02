#pragma once
// Whole member chunks of a results file's values read straight from the file's HDF5 storage
// and decompressed on every core: netCDF decompresses on one thread only, which makes reading
// a large results file the slowest part of an analysis.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace kvsorv::analysis {

class ChunkReader {
 public:
  // A reader of the members' values when they are stored in chunks of one member, shuffled
  // and deflated or neither: with `outputs` empty, of the variable "value" (member x time x
  // variable, the older layout); else of one variable per output (time x member) named by
  // `outputs`. nullptr otherwise (the caller then reads through netCDF). Opens the file
  // read-only: open it nowhere else meanwhile.
  static std::unique_ptr<ChunkReader> Open(const std::string& fileName, std::size_t times,
                                           std::size_t variables,
                                           const std::vector<std::string>& outputs = {});
  ~ChunkReader();
  ChunkReader(const ChunkReader&) = delete;
  ChunkReader& operator=(const ChunkReader&) = delete;

  // Members [first, first + count): `out` gets count x times x variables values; NaN for a
  // member never written. Failures: std::runtime_error naming the file and the member when a
  // chunk cannot be read or decompressed.
  void Read(std::size_t first, std::size_t count, double* out);
  // True when each output is stored apart (the variables named at Open).
  bool OutputsApart() const { return split_; }
  // With outputs stored apart, only the outputs `outputs` (indices into those named at Open):
  // `out` gets count x outputs x times values. Failures as Read.
  void ReadOutputs(std::size_t first, std::size_t count, const std::vector<std::size_t>& outputs,
                   double* out);

 private:
  // One dataset of the file: its HDF5 identifier and filters.
  struct Dataset {
    long long id;
    bool shuffled, deflated;
  };
  ChunkReader(std::string fileName, long long file, std::vector<Dataset> datasets,
              std::size_t times, std::size_t variables, bool split);
  // Reads the chunks of `datasets` (indices into datasets_) of members [first, first + count),
  // member by member, each chunk's chunkValues values after the one before.
  void ReadChunks(std::size_t first, std::size_t count, const std::vector<std::size_t>& datasets,
                  std::size_t chunkValues, double* out);
  std::string fileName_;
  long long file_;  // HDF5 identifier
  std::vector<Dataset> datasets_;
  std::size_t times_, variables_;
  bool split_;  // one dataset per output
};

}  // namespace kvsorv::analysis
