#include "analysis/results_reader.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <netcdf>

#include "analysis/analysis_error.h"
#include "ensemble/results_file.h"

namespace kvsorv::analysis {

namespace {

using ensemble::ResultsFile;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Members read at once: their chunks, decompressed, stay within this many bytes.
constexpr std::size_t kReadBlockBytes = std::size_t{16} << 20;

std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (const auto& n : names) text += (text.empty() ? "" : ", ") + n;
  return text;
}

class ResultsSource : public SeriesSource {
 public:
  ResultsSource(const std::string& fileName, const ResultsSelection& selection)
      : file_(Open(fileName)) {
    const ensemble::ResultsDescription d = file_.Describe();
    layout_.source = fileName;
    layout_.designMethod = d.designMethod;
    layout_.parameters = d.parameters;
    layout_.design = file_.Parameters();
    for (const auto s : file_.Statuses()) layout_.states.push_back(static_cast<MemberState>(s));
    allTimes_ = d.times.size();
    allVariables_ = d.variables.size();
    if (selection.outputs.empty()) {
      for (std::size_t v = 0; v < d.variables.size(); ++v) variables_.push_back(v);
    }
    for (const std::string& symbol : selection.outputs) {
      const auto at = std::find(d.variables.begin(), d.variables.end(), symbol);
      if (at == d.variables.end())
        throw EAnalysisError(fileName + ": no output '" + symbol + "'; it holds " +
                             Listed(d.variables));
      variables_.push_back(static_cast<std::size_t>(at - d.variables.begin()));
    }
    if (selection.times.empty()) {
      for (std::size_t t = 0; t < d.times.size(); ++t) times_.push_back(t);
    }
    for (const double time : selection.times) {
      const auto at = std::find_if(d.times.begin(), d.times.end(), [&](double x) {
        return std::fabs(x - time) <= 1e-9 * std::max(1.0, std::fabs(time));
      });
      if (at == d.times.end())
        throw EAnalysisError(
            fileName + ": no time " + CellText(time) + "; it holds " +
            std::to_string(d.times.size()) + " times" +
            (d.times.empty() ? std::string()
                             : " from " + CellText(d.times.front()) + " to " +
                                   CellText(d.times.back())));
      times_.push_back(static_cast<std::size_t>(at - d.times.begin()));
    }
    for (const std::size_t v : variables_) layout_.outputs.push_back(d.variables[v]);
    for (const std::size_t t : times_) layout_.times.push_back(d.times[t]);
  }

  const EnsembleLayout& Layout() const override { return layout_; }

  void ForEachBatch(std::size_t maxBytes,
                    const std::function<void(const SeriesBatch&)>& use) override {
    const std::size_t members = layout_.Members();
    const std::size_t perOutput = times_.size() * members * sizeof(double);
    const std::size_t outputsPerBatch = std::max<std::size_t>(1, maxBytes / std::max<std::size_t>(perOutput, 1));
    SeriesBatch batch;
    batch.members = members;
    for (std::size_t o0 = 0; o0 < variables_.size(); o0 += outputsPerBatch) {
      const std::size_t o1 = std::min(variables_.size(), o0 + outputsPerBatch);
      batch.first = o0 * times_.size();
      batch.count = (o1 - o0) * times_.size();
      batch.values.resize(batch.count * members);
      Fill(o0, o1, batch);
      use(batch);
    }
  }

 private:
  static ResultsFile Open(const std::string& fileName) {
    if (!std::filesystem::is_regular_file(fileName))
      throw EAnalysisError(fileName + ": no such results file");
    try {
      return ResultsFile::OpenToRead(fileName);
    } catch (const netCDF::exceptions::NcException& e) {
      throw EAnalysisError(fileName + ": cannot be read as a results file (" + e.what() + ")");
    }
  }

  // Reads the members' chunks once for outputs [o0, o1) and puts them in series order.
  void Fill(std::size_t o0, std::size_t o1, SeriesBatch& batch) const {
    const auto [low, high] =
        std::minmax_element(variables_.begin() + static_cast<std::ptrdiff_t>(o0),
                            variables_.begin() + static_cast<std::ptrdiff_t>(o1));
    const std::size_t first = *low, width = *high - *low + 1;
    const std::size_t members = batch.members;
    const std::size_t memberBytes = std::max<std::size_t>(allTimes_ * width * sizeof(double), 1);
    const std::size_t block = std::clamp<std::size_t>(kReadBlockBytes / memberBytes, 1, 4096);
    std::vector<double> buffer;
    for (std::size_t m0 = 0; m0 < members; m0 += block) {
      const std::size_t count = std::min(block, members - m0);
      buffer.resize(count * allTimes_ * width);
      file_.ReadValues(m0, count, first, width, buffer.data());
      // Member by member, so the reads are in memory order and the writes of consecutive
      // members fill the same cache lines of each series.
      const std::size_t series = times_.size();
      for (std::size_t m = 0; m < count; ++m) {
        const bool done = layout_.states[m0 + m] == MemberState::kDone;
        const double* in = buffer.data() + m * allTimes_ * width;
        double* out = batch.values.data() + m0 + m;
        for (std::size_t o = o0; o < o1; ++o) {
          const std::size_t v = variables_[o] - first;
          double* column = out + (o - o0) * series * members;
          for (std::size_t t = 0; t < series; ++t) {
            const double x = in[times_[t] * width + v];
            column[t * members] = done && std::isfinite(x) ? x : kNaN;
          }
        }
      }
    }
  }

  ResultsFile file_;
  EnsembleLayout layout_;
  std::size_t allTimes_ = 0, allVariables_ = 0;
  std::vector<std::size_t> variables_;  // file index of each selected output
  std::vector<std::size_t> times_;      // file index of each selected time
};

}  // namespace

std::unique_ptr<SeriesSource> OpenResults(const std::string& fileName,
                                          const ResultsSelection& selection) {
  try {
    return std::make_unique<ResultsSource>(fileName, selection);
  } catch (const netCDF::exceptions::NcException& e) {
    throw EAnalysisError(fileName + ": cannot be read as a results file (" + e.what() + ")");
  }
}

}  // namespace kvsorv::analysis
