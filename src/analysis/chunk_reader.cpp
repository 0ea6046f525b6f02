#include "analysis/chunk_reader.h"

#include <hdf5.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
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

struct Filters {
  bool shuffled = false, deflated = false;
};

// The filters of a dataset of doubles chunked as `chunk`; none when it is not such a dataset
// or has other filters.
std::optional<Filters> UsableFilters(hid_t dataset, const std::vector<hsize_t>& chunk) {
  const hid_t type = H5Dget_type(dataset);
  bool usable = H5Tequal(type, H5T_NATIVE_DOUBLE) > 0;
  H5Tclose(type);
  const hid_t plist = H5Dget_create_plist(dataset);
  const int rank = static_cast<int>(chunk.size());
  std::vector<hsize_t> stored(chunk.size());
  usable = usable && H5Pget_layout(plist) == H5D_CHUNKED &&
           H5Pget_chunk(plist, rank, stored.data()) == rank && stored == chunk;
  Filters filters;
  const int count = H5Pget_nfilters(plist);
  for (int i = 0; usable && i < count; ++i) {
    unsigned flags = 0, config = 0;
    std::size_t values = 0;
    const H5Z_filter_t f = H5Pget_filter2(plist, static_cast<unsigned>(i), &flags, &values, nullptr,
                                          0, nullptr, &config);
    // Shuffle first, then deflate, as the results file writes them.
    if (f == H5Z_FILTER_SHUFFLE && i == 0)
      filters.shuffled = true;
    else if (f == H5Z_FILTER_DEFLATE && !filters.deflated)
      filters.deflated = true;
    else
      usable = false;
  }
  H5Pclose(plist);
  if (!usable) return std::nullopt;
  return filters;
}

}  // namespace

std::unique_ptr<ChunkReader> ChunkReader::Open(const std::string& fileName, std::size_t times,
                                               std::size_t variables,
                                               const std::vector<std::string>& outputs) {
  const QuietErrors quiet;
  const hid_t file = H5Fopen(fileName.c_str(), H5F_ACC_RDONLY, H5P_DEFAULT);
  if (file < 0) return nullptr;
  const hsize_t t = std::max<std::size_t>(times, 1), v = std::max<std::size_t>(variables, 1);
  const std::vector<hsize_t> chunk =
      outputs.empty() ? std::vector<hsize_t>{1, t, v} : std::vector<hsize_t>{t, 1};
  const std::vector<std::string> names =
      outputs.empty() ? std::vector<std::string>{"value"} : outputs;
  std::vector<Dataset> datasets;
  bool usable = true;
  for (const std::string& name : names) {
    const hid_t dataset = H5Dopen2(file, name.c_str(), H5P_DEFAULT);
    if (dataset < 0) {
      usable = false;
      break;
    }
    datasets.push_back({dataset, false, false});
    const std::optional<Filters> filters = UsableFilters(dataset, chunk);
    if (!filters) {
      usable = false;
      break;
    }
    datasets.back().shuffled = filters->shuffled;
    datasets.back().deflated = filters->deflated;
  }
  if (!usable) {
    for (const Dataset& d : datasets) H5Dclose(d.id);
    H5Fclose(file);
    return nullptr;
  }
  return std::unique_ptr<ChunkReader>(
      new ChunkReader(fileName, file, std::move(datasets), times, variables, !outputs.empty()));
}

ChunkReader::ChunkReader(std::string fileName, long long file, std::vector<Dataset> datasets,
                         std::size_t times, std::size_t variables, bool split)
    : fileName_(std::move(fileName)),
      file_(file),
      datasets_(std::move(datasets)),
      times_(times),
      variables_(variables),
      split_(split) {}

ChunkReader::~ChunkReader() {
  for (const Dataset& d : datasets_) H5Dclose(d.id);
  H5Fclose(file_);
}

void ChunkReader::Read(std::size_t first, std::size_t count, double* out) {
  if (times_ * variables_ == 0) return;
  if (!split_) {
    ReadChunks(first, count, {0}, times_ * variables_, out);
    return;
  }
  // Every output apart, then each member's values put in times x variables order.
  std::vector<std::size_t> all(datasets_.size());
  for (std::size_t v = 0; v < all.size(); ++v) all[v] = v;
  std::vector<double> apart(count * variables_ * times_);
  ReadChunks(first, count, all, times_, apart.data());
  for (std::size_t i = 0; i < count; ++i)
    for (std::size_t v = 0; v < variables_; ++v)
      for (std::size_t t = 0; t < times_; ++t)
        out[(i * times_ + t) * variables_ + v] = apart[(i * variables_ + v) * times_ + t];
}

void ChunkReader::ReadOutputs(std::size_t first, std::size_t count,
                              const std::vector<std::size_t>& outputs, double* out) {
  if (times_ == 0 || outputs.empty()) return;
  ReadChunks(first, count, outputs, times_, out);
}

void ChunkReader::ReadChunks(std::size_t first, std::size_t count,
                             const std::vector<std::size_t>& datasets, std::size_t chunkValues,
                             double* out) {
  // The compressed chunks, read one after the other (the library is not safe on several
  // threads); a chunk never written is empty.
  const std::size_t n = datasets.size(), chunks = count * n;
  std::vector<std::vector<unsigned char>> raw(chunks);
  std::vector<std::uint32_t> masks(chunks);
  {
    const QuietErrors quiet;
    for (std::size_t c = 0; c < chunks; ++c) {
      const hsize_t member = first + c / n;
      const hsize_t offset3[3] = {member, 0, 0};
      const hsize_t offset2[2] = {0, member};
      const hsize_t* offset = split_ ? offset2 : offset3;
      const hid_t dataset = datasets_[datasets[c % n]].id;
      hsize_t size = 0;
      if (H5Dget_chunk_storage_size(dataset, offset, &size) < 0 || size == 0) continue;
      raw[c].resize(size);
      if (H5Dread_chunk(dataset, H5P_DEFAULT, offset, &masks[c], raw[c].data()) < 0)
        throw std::runtime_error(fileName_ + ": cannot read the values of member " +
                                 std::to_string(member));
    }
  }
  // Then decompressed on every core.
  const std::size_t bytes = chunkValues * sizeof(double);
  tasks::ParallelFor(chunks, AnalysisThreads(), [&](std::size_t c) {
    const std::size_t member = first + c / n;
    const Dataset& d = datasets_[datasets[c % n]];
    double* values = out + c * chunkValues;
    if (raw[c].empty()) {
      std::fill(values, values + chunkValues, std::numeric_limits<double>::quiet_NaN());
      return;
    }
    thread_local std::vector<unsigned char> plain;
    // Mask bit 0 skips the first filter, bit 1 the second.
    const bool unshuffle = d.shuffled && (masks[c] & 1u) == 0;
    const bool inflate = d.deflated && (masks[c] & (d.shuffled ? 2u : 1u)) == 0;
    const unsigned char* data = raw[c].data();
    if (inflate) {
      plain.resize(bytes);
      uLongf length = bytes;
      if (uncompress(plain.data(), &length, raw[c].data(), raw[c].size()) != Z_OK ||
          length != bytes)
        throw std::runtime_error(fileName_ + ": the values of member " + std::to_string(member) +
                                 " cannot be decompressed");
      data = plain.data();
    } else if (raw[c].size() != bytes) {
      throw std::runtime_error(fileName_ + ": the values of member " + std::to_string(member) +
                               " have the wrong size");
    }
    if (unshuffle)
      Unshuffle(data, chunkValues, values);
    else
      std::memcpy(values, data, bytes);
  });
}

}  // namespace kvsorv::analysis
