#include "analysis/results_reader.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <netcdf>
#include <optional>

#include "analysis/analysis_error.h"
#include "analysis/analysis_threads.h"
#include "analysis/cell_text.h"
#include "analysis/chunk_reader.h"
#include "ensemble/results_file.h"
#include "tasks/worker_pool.h"

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
  ResultsSource(const std::string& fileName, const ResultsSelection& selection) {
    ensemble::ResultsDescription d;
    std::vector<std::string> outputVariables;
    {
      const ResultsFile file = Open(fileName);
      d = file.Describe();
      outputVariables = file.OutputVariables();
      layout_.design = file.Parameters();
      for (const auto s : file.Statuses()) layout_.states.push_back(static_cast<MemberState>(s));
    }
    layout_.source = fileName;
    layout_.designMethod = d.designMethod;
    layout_.parameters = d.parameters;
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
        throw EAnalysisError(fileName + ": no time " + CellText(time) + "; it holds " +
                             std::to_string(d.times.size()) + " times" +
                             (d.times.empty() ? std::string()
                                              : " from " + CellText(d.times.front()) + " to " +
                                                    CellText(d.times.back())));
      times_.push_back(static_cast<std::size_t>(at - d.times.begin()));
    }
    for (const std::size_t v : variables_) layout_.outputs.push_back(d.variables[v]);
    for (const std::size_t t : times_) layout_.times.push_back(d.times[t]);
    chunks_ = ChunkReader::Open(fileName, allTimes_, allVariables_, outputVariables);
    if (!chunks_) file_.emplace(Open(fileName));
  }

  const EnsembleLayout& Layout() const override { return layout_; }

  void ForEachBatch(std::size_t maxBytes,
                    const std::function<void(const SeriesBatch&)>& use) override {
    const std::size_t members = layout_.Members();
    const std::size_t perOutput = times_.size() * members * sizeof(double);
    const std::size_t outputsPerBatch =
        std::max<std::size_t>(1, maxBytes / std::max<std::size_t>(perOutput, 1));
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
    } catch (const ensemble::EResultsError& e) {  // names the file and what is wrong
      throw EAnalysisError(e.what());
    } catch (const netCDF::exceptions::NcException& e) {
      throw EAnalysisError(fileName + ": cannot be read as a results file (" + e.what() + ")");
    }
  }

  // Reads the members' chunks once for outputs [o0, o1) and puts them in series order: of
  // those outputs alone when they are stored apart, else every output of each member.
  void Fill(std::size_t o0, std::size_t o1, SeriesBatch& batch) const {
    const std::size_t members = batch.members, series = times_.size();
    const bool apart = chunks_ && chunks_->OutputsApart();
    const std::vector<std::size_t> chosen(variables_.begin() + static_cast<std::ptrdiff_t>(o0),
                                          variables_.begin() + static_cast<std::ptrdiff_t>(o1));
    const std::size_t width = apart ? chosen.size() : allVariables_;
    const std::size_t memberValues = std::max<std::size_t>(allTimes_ * width, 1);
    const std::size_t block =
        std::clamp<std::size_t>(kReadBlockBytes / (memberValues * sizeof(double)), 1, 4096);
    std::vector<double> buffer;
    for (std::size_t m0 = 0; m0 < members; m0 += block) {
      const std::size_t count = std::min(block, members - m0);
      buffer.resize(count * memberValues);
      if (apart)
        chunks_->ReadOutputs(m0, count, chosen, buffer.data());
      else if (chunks_)
        chunks_->Read(m0, count, buffer.data());
      else
        file_->ReadValues(m0, count, 0, allVariables_, buffer.data());
      // Each output on its own thread; eight members (a cache line of each series) at a
      // time, so each series' line is written whole at once.
      tasks::ParallelFor(o1 - o0, AnalysisThreads(), [&](std::size_t o) {
        // Where time t of this output is in a member's values.
        const auto at = [&](std::size_t t) {
          return apart ? o * allTimes_ + times_[t] : times_[t] * allVariables_ + variables_[o0 + o];
        };
        double* column = batch.values.data() + o * series * members + m0;
        for (std::size_t tile = 0; tile < count; tile += 8) {
          const std::size_t end = std::min(count, tile + 8);
          for (std::size_t t = 0; t < series; ++t) {
            const std::size_t place = at(t);
            for (std::size_t m = tile; m < end; ++m) {
              const double x = buffer[m * memberValues + place];
              column[t * members + m] =
                  layout_.states[m0 + m] == MemberState::kDone && std::isfinite(x) ? x : kNaN;
            }
          }
        }
      });
    }
  }

  std::unique_ptr<ChunkReader> chunks_;
  std::optional<ResultsFile> file_;  // when the chunks cannot be read directly
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
