#pragma once
// Any source of series, reporting how many series the analysis has gone through: each batch
// is handed on in slices of about a hundredth of the series (at least kProgressSlice; a slice
// may end inside an output, which the analyses take), and `progress(done, total)` is called
// after the analysis returns from each. The values are those of the source, copied.

#include <cstddef>
#include <functional>
#include <memory>

#include "analysis/series_source.h"

namespace kvsorv::analysis {

// Slices no smaller, so that the threads of an analysis share each slice well.
inline constexpr std::size_t kProgressSlice = 256;

std::unique_ptr<SeriesSource> WithProgress(
    std::unique_ptr<SeriesSource> source,
    std::function<void(std::size_t done, std::size_t total)> progress);

}  // namespace kvsorv::analysis
