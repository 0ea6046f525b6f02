// The Python extension kvsorv._core: the catalogue, the parameter and driver files, and runs
// of a site as NumPy arrays. Runs release the GIL, so Python threads run them side by side.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "files/driver_series.h"
#include "files/param_file.h"
#include "model/catalogue.h"
#include "model/errors.h"
#include "site_run.h"

namespace py = pybind11;

namespace kvsorv::python {

namespace {

py::array_t<double> ToArray(const std::vector<double>& values) {
  py::array_t<double> array(static_cast<py::ssize_t>(values.size()));
  std::copy(values.begin(), values.end(), array.mutable_data());
  return array;
}

template <typename Table>
py::list Entries(const Table& table, int count) {
  py::list entries;
  for (int i = 1; i <= count; ++i)
    entries.append(py::dict(py::arg("index") = i, py::arg("symbol") = table[i].symbol,
                            py::arg("name") = table[i].name, py::arg("units") = table[i].units));
  return entries;
}

py::dict CatalogueDict() {
  const ModelCatalogue& c = Catalogue();
  py::dict d;
  d["states"] = Entries(c.states, c.def.numstate);
  d["drivers"] = Entries(c.drivers, c.def.numdrivers);
  d["parameters"] = Entries(c.params, c.def.numparam);
  d["processes"] = Entries(c.processes, c.def.numprocess);
  return d;
}

template <typename Table>
py::dict Values(const Table& table, int count) {
  py::dict values;
  for (int i = 1; i <= count; ++i) values[py::str(table[i].symbol)] = table[i].value;
  return values;
}

py::dict ReadParameters(const std::string& path) {
  const ModelCatalogue& c = Catalogue();
  paramarray params = c.params;
  statearray states = c.states;
  double residual = 0.0;
  if (!ReadParamValues(path, c.def.numparam, params, c.def.numstate, states, residual))
    throw EInOutError(EInOutError::Kind::kFileAccess,
                      "'" + path + "' is not a parameter file of this model");
  py::dict d;
  d["parameters"] = Values(params, c.def.numparam);
  d["states"] = Values(states, c.def.numstate);
  d["residual"] = residual;
  return d;
}

py::dict ReadDrivers(const std::string& path) {
  const ModelCatalogue& c = Catalogue();
  const DriverSeries series = ReadDriverSeries(path, c.def.numdrivers);
  if (series.failure) std::rethrow_exception(series.failure);
  py::dict d;
  d["time"] = ToArray(series.times);
  for (int i = 1; i <= c.def.numdrivers; ++i) {
    std::vector<double> column;
    for (std::size_t r = 0; r < series.Size(); ++r)
      column.push_back(series.values[r * series.count + static_cast<std::size_t>(i - 1)]);
    d[py::str(c.drivers[i].symbol)] = ToArray(column);
  }
  return d;
}

struct Site {
  RunInputs inputs;
};

std::vector<std::string> EveryState() {
  std::vector<std::string> symbols;
  const ModelCatalogue& c = Catalogue();
  for (int i = 1; i <= c.def.numstate; ++i) symbols.push_back(c.states[i].symbol);
  return symbols;
}

py::dict Run(const Site& site, const std::vector<double>& values,
             const std::vector<std::string>& parameters,
             const std::optional<std::vector<std::string>>& outputs, RunTimes times, int cells) {
  SiteRun run;
  run.values = values;
  run.times = times;
  run.cells = cells;
  for (const std::string& symbol : parameters) {
    const int index = ParamIndex(symbol);
    if (index == 0) throw py::key_error("no parameter '" + symbol + "'");
    run.parameters.push_back(index);
  }
  const std::vector<std::string> symbols = outputs.value_or(EveryState());
  for (const std::string& symbol : symbols) {
    const auto q = FindOutputQuantity(symbol);
    if (!q) throw py::key_error("no output '" + symbol + "'");
    run.outputs.push_back(*q);
  }
  SiteRunResult result;
  {
    py::gil_scoped_release release;
    result = RunSite(site.inputs, run, nullptr);
  }
  py::dict d;
  d["time"] = ToArray(result.times);
  for (int k = 0; k < cells; ++k)
    for (std::size_t o = 0; o < symbols.size(); ++o) {
      const std::string key =
          cells == 1 ? symbols[o]
                     : "cell" + std::to_string(site.inputs.cellNumber + k) + "/" + symbols[o];
      d[py::str(key)] = ToArray(result.values[static_cast<std::size_t>(k) * symbols.size() + o]);
    }
  return d;
}

// The model's error kinds as Python exceptions, each a subclass of its parent kind. A
// translator registered later is tried first, so the parents come first.
void RegisterErrors(py::module_& m) {
  const auto base = py::register_exception<Exception>(m, "Error", PyExc_Exception);
  const auto run = py::register_exception<ERunTimeError>(m, "ERunTimeError", base);
  const auto integrator = py::register_exception<EIntegratorError>(m, "EIntegratorError", run);
  py::register_exception<ETooManySteps>(m, "ETooManySteps", integrator);
  py::register_exception<EStepTooSmall>(m, "EStepTooSmall", integrator);
  py::register_exception<ERunCanceled>(m, "ERunCanceled", run);
  const auto math = py::register_exception<EMathError>(m, "EMathError", base);
  py::register_exception<EInvalidOp>(m, "EInvalidOp", math);
  py::register_exception<EZeroDivide>(m, "EZeroDivide", math);
  py::register_exception<EOverflow>(m, "EOverflow", math);
  py::register_exception<ECalculateError>(m, "ECalculateError", math);
  const auto step = py::register_exception<EStepError>(m, "EStepError", base);
  py::register_exception<EOutputStepTooSmall>(m, "EOutputStepTooSmall", step);
  py::register_exception<EOutputStepTooLarge>(m, "EOutputStepTooLarge", step);
  py::register_exception<EOutputStepNotMultiple>(m, "EOutputStepNotMultiple", step);
  py::register_exception<EInOutError>(m, "EInOutError", base);
  py::register_exception<EConvertError>(m, "EConvertError", base);
}

}  // namespace

}  // namespace kvsorv::python

PYBIND11_MODULE(_core, m) {
  using namespace kvsorv::python;
  m.doc() = "The KVS ORV model: its catalogue, files and runs";
  RegisterErrors(m);
  m.def("catalogue", &CatalogueDict,
        "Every state, driver, parameter and process: lists of dicts of index (from 1), "
        "symbol, name and units.");
  m.def("read_parameters", &ReadParameters, py::arg("path"),
        "A parameter file's values: {'parameters': {symbol: value}, 'states': {symbol: "
        "value}, 'residual': value}. Raises EInOutError.");
  m.def("read_drivers", &ReadDrivers, py::arg("path"),
        "A driver file's records: {'time': array, symbol: array, ...}; a negative time is "
        "reached by a ramp. Raises EInOutError.");
  py::class_<Site>(m, "Site",
                   "A site: a parameter file and the driver file of its cell (with the base "
                   "driver file cell1b.drr beside it), read once.")
      .def(py::init([](const std::string& params, const std::string& drivers) {
             return Site{kvsorv::python::LoadSiteInputs(params, drivers)};
           }),
           py::arg("params"), py::arg("drivers"))
      .def_property_readonly("cell", [](const Site& s) { return s.inputs.cellNumber; })
      .def_property_readonly(
          "parameters",
          [](const Site& s) { return Values(s.inputs.params, kvsorv::Catalogue().def.numparam); })
      .def(
          "run",
          [](const Site& s, const std::vector<double>& values,
             const std::vector<std::string>& parameters,
             const std::optional<std::vector<std::string>>& outputs, double start, double stop,
             double step, std::optional<double> outputStep, double tolerance, int cells) {
            return Run(s, values, parameters, outputs,
                       {.start = start,
                        .stop = stop,
                        .step = step,
                        .outputStep = outputStep.value_or(step),
                        .tolerance = tolerance},
                       cells);
          },
          py::arg("values") = std::vector<double>{},
          py::arg("parameters") = std::vector<std::string>{}, py::kw_only(),
          py::arg("outputs") = py::none(), py::arg("start") = 0.0, py::arg("stop") = 2.0,
          py::arg("step") = 1.0, py::arg("output_step") = py::none(), py::arg("tolerance") = 1e-8,
          py::arg("cells") = 1,
          "Runs the site with `values` for the parameters named in `parameters` (the rest as "
          "the parameter file gives them), times in years (the output step the step unless "
          "given), and returns {'time': array, "
          "output: array, ...} with a value at every output line (every state when `outputs` "
          "is None; keys 'cell<N>/<symbol>' for a chain of several cells). The GIL is "
          "released while it runs. Raises the model's error kinds (subclasses of Error).");
}
