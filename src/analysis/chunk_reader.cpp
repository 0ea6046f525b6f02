#include "analysis/chunk_reader.h"

#include <hdf5.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "analysis/analysis_threads.h"
#include "tasks/worker_pool.h"

namespace kvsorv::analysis {

namespace {

// HDF5's error printing off while the reader works: a failure is reported as an exception.
class QuietErrors {
 public:
  QuietErrors() {
    H5Eget_auto2(H5E_DEFAULT, &function_, &data_);
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
  }
  ~QuietErrors() { H5Eset_auto2(H5E_DEFAULT, function_, data_); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  H5E_auto2_t function_ = nullptr;
  void* data_ = nullptr;
};

// Undoes the shuffle filter: byte b of element e was stored at b * n + e (little-endian
// doubles, as the file's native type is read here).
void Unshuffle(const unsigned char* in, std::size_t n, double* out) {
  for (std::size_t e = 0; e < n; ++e) {
    std::uint64_t word = 0;
    for (std::size_t b = 0; b < sizeof(double); ++b)
      word |= std::uint64_t{in[b * n + e]} << (8 * b);
    std::memcpy(out + e, &word, sizeof word);
  }
}

}  // namespace

std::unique_ptr<ChunkReader> ChunkReader::Open(const std::string& fileName, std::size_t times,
                                               std::size_t variables) {
  const QuietErrors quiet;
  const hid_t file = H5Fopen(fileName.c_str(), H5F_ACC_RDONLY, H5P_DEFAULT);
  if (file < 0) return nullptr;
  const hid_t dataset = H5Dopen2(file, "value", H5P_DEFAULT);
  bool usable = dataset >= 0, shuffled = false, deflated = false;
  if (usable) {
    const hid_t type = H5Dget_type(dataset);
    usable = H5Tequal(type, H5T_NATIVE_DOUBLE) > 0;
    H5Tclose(type);
    const hid_t plist = H5Dget_create_plist(dataset);
    hsize_t chunk[3] = {};
    usable = usable && H5Pget_layout(plist) == H5D_CHUNKED && H5Pget_chunk(plist, 3, chunk) == 3 &&
             chunk[0] == 1 && chunk[1] == std::max<std::size_t>(times, 1) &&
             chunk[2] == std::max<std::size_t>(variables, 1);
    const int filters = H5Pget_nfilters(plist);
    for (int i = 0; usable && i < filters; ++i) {
      unsigned flags = 0, config = 0;
      std::size_t count = 0;
      const H5Z_filter_t f = H5Pget_filter2(plist, static_cast<unsigned>(i), &flags, &count,
                                            nullptr, 0, nullptr, &config);
      // Shuffle first, then deflate, as the results file writes them.
      if (f == H5Z_FILTER_SHUFFLE && i == 0)
        shuffled = true;
      else if (f == H5Z_FILTER_DEFLATE && !deflated)
        deflated = true;
      else
        usable = false;
    }
    H5Pclose(plist);
  }
  if (!usable) {
    if (dataset >= 0) H5Dclose(dataset);
    H5Fclose(file);
    return nullptr;
  }
  return std::unique_ptr<ChunkReader>(
      new ChunkReader(fileName, file, dataset, shuffled, deflated, times * variables));
}

ChunkReader::ChunkReader(std::string fileName, long long file, long long dataset, bool shuffled,
                         bool deflated, std::size_t values)
    : fileName_(std::move(fileName)),
      file_(file),
      dataset_(dataset),
      shuffled_(shuffled),
      deflated_(deflated),
      values_(values) {}

ChunkReader::~ChunkReader() {
  H5Dclose(dataset_);
  H5Fclose(file_);
}

void ChunkReader::Read(std::size_t first, std::size_t count, double* out) {
  if (values_ == 0) return;
  // The compressed chunks, read one after the other; a chunk never written is empty.
  std::vector<std::vector<unsigned char>> raw(count);
  std::vector<std::uint32_t> masks(count);
  {
    const QuietErrors quiet;
    for (std::size_t i = 0; i < count; ++i) {
      const hsize_t offset[3] = {first + i, 0, 0};
      hsize_t size = 0;
      if (H5Dget_chunk_storage_size(dataset_, offset, &size) < 0 || size == 0) continue;
      raw[i].resize(size);
      if (H5Dread_chunk(dataset_, H5P_DEFAULT, offset, &masks[i], raw[i].data()) < 0)
        throw std::runtime_error(fileName_ + ": cannot read the values of member " +
                                 std::to_string(first + i));
    }
  }
  const std::size_t bytes = values_ * sizeof(double);
  tasks::ParallelFor(count, AnalysisThreads(), [&](std::size_t i) {
    double* values = out + i * values_;
    if (raw[i].empty()) {
      std::fill(values, values + values_, std::numeric_limits<double>::quiet_NaN());
      return;
    }
    // Mask bit 0 skips the first filter, bit 1 the second.
    const bool unshuffle = shuffled_ && (masks[i] & 1u) == 0;
    const bool inflate = deflated_ && (masks[i] & (shuffled_ ? 2u : 1u)) == 0;
    thread_local std::vector<unsigned char> plain;
    const unsigned char* data = raw[i].data();
    if (inflate) {
      plain.resize(bytes);
      uLongf length = bytes;
      if (uncompress(plain.data(), &length, raw[i].data(), raw[i].size()) != Z_OK ||
          length != bytes)
        throw std::runtime_error(fileName_ + ": the values of member " + std::to_string(first + i) +
                                 " cannot be decompressed");
      data = plain.data();
    } else if (raw[i].size() != bytes) {
      throw std::runtime_error(fileName_ + ": the values of member " + std::to_string(first + i) +
                               " have the wrong size");
    }
    if (unshuffle)
      Unshuffle(data, values_, values);
    else
      std::memcpy(values, data, bytes);
  });
}

}  // namespace kvsorv::analysis
