#include "site_run.h"

#include <cmath>
#include <cstddef>
#include <exception>
#include <stdexcept>
#include <string>

#include "files/param_file.h"
#include "model/errors.h"
#include "run/cell_chain.h"
#include "run/cell_drivers.h"

namespace kvsorv::python {

namespace {

double Value(const OutputQuantity& q, const drivearray& d, const statearray& s,
             const processarray& p) {
  switch (q.kind) {
    case OutputKind::kState:
      return s[q.index].value;
    case OutputKind::kProcess:
      return p[q.index].value;
    case OutputKind::kDriver:
      return d[q.index].value;
  }
  return 0.0;
}

// Keeps the chosen outputs of every output line of the cell it is set to.
class OutputCollector : public RunSink {
 public:
  OutputCollector(const std::vector<OutputQuantity>& outputs, SiteRunResult& result)
      : outputs_(outputs), result_(result) {}
  void SetCell(int position) { cell_ = static_cast<std::size_t>(position); }

  void OutputLine(double time, const drivearray& d, const statearray& s,
                  const processarray& p) override {
    if (cell_ == 0) result_.times.push_back(time);
    for (std::size_t o = 0; o < outputs_.size(); ++o)
      result_.values[cell_ * outputs_.size() + o].push_back(Value(outputs_[o], d, s, p));
  }
  void NextCellRecord(double, const drivearray&) override {}

 private:
  const std::vector<OutputQuantity>& outputs_;
  SiteRunResult& result_;
  std::size_t cell_ = 0;
};

// The output step's rules, in the order the program checks them: at least the step, at most
// the run's span, a whole multiple of the step.
void CheckOutputStep(const RunTimes& t) {
  if (t.outputStep < t.step) throw EOutputStepTooSmall();
  if (t.outputStep > t.stop - t.start) throw EOutputStepTooLarge();
  const double r = t.outputStep / t.step;
  if (std::fabs(std::round(r) - r) > 0.001) throw EOutputStepNotMultiple();
}

void RequireFile(const DriverSeries& series) {
  if (series.fileMissing) std::rethrow_exception(series.failure);
}

}  // namespace

RunInputs LoadSiteInputs(const std::string& paramFile, const std::string& driverFile) {
  const ModelCatalogue& catalogue = Catalogue();
  RunInputs in;
  in.states = catalogue.states;
  in.params = catalogue.params;
  in.drivers = catalogue.drivers;
  in.processes = catalogue.processes;
  double residual = 0.0;
  if (!ReadParamValues(paramFile, catalogue.def.numparam, in.params, catalogue.def.numstate,
                       in.states, residual))
    throw EInOutError(EInOutError::Kind::kFileAccess,
                      "'" + paramFile + "' is not a parameter file of this model");
  ReadCellDrivers(in, driverFile);
  RequireFile(*in.mainDrivers);
  RequireFile(*in.baseDrivers);
  return in;
}

SiteRunResult RunSite(const RunInputs& site, const SiteRun& run, Feedback* feedback) {
  const double step = run.times.step;
  if (!(step > 0.0 && run.times.start + step > run.times.start &&
        run.times.stop + step > run.times.stop))
    throw ERunTimeError("Time step is too small to advance the run clock.");
  if (!(run.times.stop > run.times.start))
    throw std::invalid_argument("stop must be greater than start");
  CheckOutputStep(run.times);
  if (run.parameters.size() != run.values.size())
    throw std::invalid_argument("parameters and values differ in count");
  if (run.cells < 1) throw std::invalid_argument("a run needs at least one cell");
  RunInputs in = site;
  in.times = run.times;
  for (std::size_t j = 0; j < run.parameters.size(); ++j) {
    const int index = run.parameters[j];
    if (index < 1 || index > Catalogue().def.numparam)
      throw std::invalid_argument("no parameter at position " + std::to_string(index));
    in.params[index].value = run.values[j];
  }
  SiteRunResult result;
  result.values.resize(run.outputs.size() * static_cast<std::size_t>(run.cells));
  OutputCollector collector(run.outputs, result);
  const int firstCell = in.cellNumber;
  const auto outcomes = RunCellChain(
      in, run.cells,
      [&](int cell) -> RunSink& {
        collector.SetCell(cell - firstCell);
        return collector;
      },
      feedback);
  if (outcomes.back().failure) std::rethrow_exception(outcomes.back().failure);
  return result;
}

}  // namespace kvsorv::python
