#include "run/cell_chain.h"

#include <array>
#include <memory>
#include <string>

#include "files/number_text.h"

namespace kvsorv {

double ThroughDriverText(double value) {
  std::array<char, 40> text{};
  char* end = AppendScientific13(text.data(), value);
  return ParseDecimal(std::string_view(text.data(), static_cast<std::size_t>(end - text.data())))
      .value_or(value);
}

NextCellRecorder::NextCellRecorder(RunSink& next, int driverCount) : next_(next) {
  records_.count = driverCount;
}

void NextCellRecorder::OutputLine(double time, const drivearray& drivers, const statearray& states,
                                  const processarray& processes) {
  next_.OutputLine(time, drivers, states, processes);
}

void NextCellRecorder::NextCellRecord(double time, const drivearray& drivers) {
  records_.Append(time, drivers);
  next_.NextCellRecord(time, drivers);
}

DriverSeries NextCellRecorder::NextCellSeries(const RunOutcome& outcome) const {
  const int n = records_.count;
  DriverSeries series;
  series.count = n;
  drivearray record = outcome.startRecordDrivers;
  const auto append = [&](double time) {
    for (int i = 1; i <= n; ++i) record[i].value = ThroughDriverText(record[i].value);
    series.Append(ThroughDriverText(time), record);
  };
  append(kFirstOutputYear);
  for (std::size_t r = 0; r < records_.Size(); ++r) {
    const double time = ThroughDriverText(records_.times[r]);
    if (!(time > kFirstOutputYear)) continue;
    for (int i = 1; i <= n; ++i)
      record[i].value = records_.values[r * static_cast<std::size_t>(n) + (i - 1)];
    append(records_.times[r]);
  }
  return series;
}

std::vector<RunOutcome> RunCellChain(const RunInputs& first, int cells,
                                     const std::function<RunSink&(int cell)>& sinkFor,
                                     Feedback* feedback) {
  std::vector<RunOutcome> outcomes;
  RunInputs inputs = first;
  const auto total = static_cast<std::size_t>(cells) * 100;
  for (int k = 0; k < cells; ++k) {
    NextCellRecorder recorder(sinkFor(inputs.cellNumber), inputs.mainDrivers->count);
    if (feedback != nullptr) feedback->SetMessage("cell " + std::to_string(inputs.cellNumber));
    outcomes.push_back(
        RunModel(inputs, recorder, feedback, {static_cast<std::size_t>(k) * 100, total}));
    if (outcomes.back().failure || k + 1 == cells) break;
    inputs.mainDrivers = std::make_shared<DriverSeries>(recorder.NextCellSeries(outcomes.back()));
    ++inputs.cellNumber;
  }
  return outcomes;
}

}  // namespace kvsorv
