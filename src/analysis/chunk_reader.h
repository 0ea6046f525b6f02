#pragma once
// Whole member chunks of a results file's values read straight from the file's HDF5 storage
// and decompressed on every core: netCDF decompresses on one thread only, which makes reading
// a large results file the slowest part of an analysis.

#include <cstddef>
#include <memory>
#include <string>

namespace kvsorv::analysis {

class ChunkReader {
 public:
  // A reader of the variable "value" (member x time x variable) when it is stored in chunks of
  // one member, shuffled and deflated or neither; nullptr otherwise (the caller then reads
  // through netCDF). Opens the file read-only: open it nowhere else meanwhile.
  static std::unique_ptr<ChunkReader> Open(const std::string& fileName, std::size_t times,
                                           std::size_t variables);
  ~ChunkReader();
  ChunkReader(const ChunkReader&) = delete;
  ChunkReader& operator=(const ChunkReader&) = delete;

  // Members [first, first + count): `out` gets count x times x variables values; NaN for a
  // member never written. Failures: std::runtime_error naming the file and the member when a
  // chunk cannot be read or decompressed.
  void Read(std::size_t first, std::size_t count, double* out);

 private:
  ChunkReader(std::string fileName, long long file, long long dataset, bool shuffled, bool deflated,
              std::size_t values);
  std::string fileName_;
  long long file_, dataset_;  // HDF5 identifiers
  bool shuffled_, deflated_;
  std::size_t values_;  // per chunk
};

}  // namespace kvsorv::analysis
