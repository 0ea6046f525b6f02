#include "ensemble/plan.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>
#include <toml.hpp>

#include "ensemble/output_times.h"
#include "ensemble/rank_correlation.h"
#include "files/csv_cells.h"
#include "model/globals.h"

namespace kvsorv::ensemble {

namespace {

// Everything a plan reader says names the file first.
class PlanReader {
 public:
  explicit PlanReader(std::string fileName) : fileName_(std::move(fileName)) {}

  [[noreturn]] void Fail(const std::string& entry, const std::string& what) const {
    throw EPlanError(fileName_ + ": " + entry + ": " + what);
  }

  const toml::value& Table(const toml::value& parent, const std::string& key) const {
    if (!parent.contains(key)) Fail(key, "missing");
    return parent.at(key);
  }

  double Number(const toml::value& table, const std::string& key, const std::string& entry) const {
    if (!table.contains(key)) Fail(entry, "'" + key + "' is missing");
    const toml::value& v = table.at(key);
    if (v.is_integer()) return static_cast<double>(v.as_integer());
    if (v.is_floating()) return v.as_floating();
    Fail(entry, "'" + key + "' must be a number");
  }

  double NumberOr(const toml::value& table, const std::string& key, double fallback,
                  const std::string& entry) const {
    return table.contains(key) ? Number(table, key, entry) : fallback;
  }

  std::string Text(const toml::value& table, const std::string& key,
                   const std::string& entry) const {
    if (!table.contains(key)) Fail(entry, "'" + key + "' is missing");
    if (!table.at(key).is_string()) Fail(entry, "'" + key + "' must be a text");
    return table.at(key).as_string();
  }

  std::vector<double> Numbers(const toml::value& table, const std::string& key,
                              const std::string& entry) const {
    if (!table.at(key).is_array()) Fail(entry, "'" + key + "' must be a list of numbers");
    std::vector<double> values;
    for (const toml::value& v : table.at(key).as_array()) {
      if (v.is_integer()) {
        values.push_back(static_cast<double>(v.as_integer()));
      } else if (v.is_floating()) {
        values.push_back(v.as_floating());
      } else {
        Fail(entry, "'" + key + "' must be a list of numbers");
      }
    }
    return values;
  }

  int WholeNumber(const toml::value& table, const std::string& key, int fallback, int min,
                  int max) const {
    const double x = NumberOr(table, key, fallback, key);
    if (x != std::floor(x) || x < min || x > max)
      Fail(key,
           "must be a whole number from " + std::to_string(min) + " to " + std::to_string(max));
    return static_cast<int>(x);
  }

  // Refuses a key of the entry that the distribution does not take: a mistyped or misplaced
  // argument would otherwise be ignored without a word.
  void OnlyArguments(const toml::value& p, const std::string& entry, const std::string& kind,
                     std::initializer_list<const char*> arguments) const {
    if (!p.is_table()) return;
    for (const auto& [key, value] : p.as_table()) {
      if (key == "symbol" || key == "distribution") continue;
      bool taken = false;
      std::string list;
      for (const char* a : arguments) {
        taken = taken || key == a;
        list += std::string(list.empty() ? "" : ", ") + a;
      }
      if (!taken)
        Fail(entry, "'" + key + "' is not an argument of a " + kind + " distribution (it takes " +
                        list + ")");
    }
  }

  Distribution ReadDistribution(const toml::value& p, const std::string& entry,
                                const std::filesystem::path& directory) const {
    const std::string kind = Text(p, "distribution", entry);
    const auto n = [&](const char* key) { return Number(p, key, entry); };
    if (kind == "uniform") OnlyArguments(p, entry, kind, {"min", "max"});
    if (kind == "normal") OnlyArguments(p, entry, kind, {"mean", "sd"});
    if (kind == "lognormal") OnlyArguments(p, entry, kind, {"meanlog", "sdlog"});
    if (kind == "triangular") OnlyArguments(p, entry, kind, {"min", "mode", "max"});
    if (kind == "truncated-normal") OnlyArguments(p, entry, kind, {"mean", "sd", "min", "max"});
    if (kind == "table") {
      OnlyArguments(p, entry, kind, {"values", "file", "column"});
      if (p.contains("values") && (p.contains("file") || p.contains("column")))
        Fail(entry, "a table takes 'values' or 'file' and 'column', not both");
    }
    Distribution d;
    if (kind == "uniform") {
      d = Uniform{n("min"), n("max")};
    } else if (kind == "normal") {
      d = Normal{n("mean"), n("sd")};
    } else if (kind == "lognormal") {
      d = LogNormal{n("meanlog"), n("sdlog")};
    } else if (kind == "triangular") {
      d = Triangular{n("min"), n("mode"), n("max")};
    } else if (kind == "truncated-normal") {
      d = TruncatedNormal{n("mean"), n("sd"), n("min"), n("max")};
    } else if (kind == "table") {
      d = Table::Of(p.contains("values") ? Numbers(p, "values", entry)
                                         : TableFile(p, entry, directory));
    } else {
      Fail(entry, "unknown distribution '" + kind +
                      "' (uniform, normal, lognormal, triangular, truncated-normal or table)");
    }
    if (const std::string why = Impossibility(d); !why.empty()) Fail(entry, why);
    return d;
  }

  // One column of a CSV file, such as a chain of samples: its header names the column.
  std::vector<double> TableFile(const toml::value& p, const std::string& entry,
                                const std::filesystem::path& directory) const {
    const std::filesystem::path file = directory / Text(p, "file", entry);
    const std::string column = Text(p, "column", entry);
    std::ifstream in(file);
    if (!in) Fail(entry, "cannot read '" + file.string() + "'");
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> header = CsvCells(line);
    std::size_t at = header.size();
    for (std::size_t i = 0; i < header.size(); ++i)
      if (header[i] == column) at = i;
    if (at == header.size()) Fail(entry, "'" + file.string() + "' has no column '" + column + "'");
    std::vector<double> values;
    for (int row = 2; std::getline(in, line); ++row) {
      const std::vector<std::string> cells = CsvCells(line);
      // A row too short for the column is a missing value, not the row's last one.
      const std::string cell = at < cells.size() ? cells[at] : std::string();
      char* end = nullptr;
      const double x = std::strtod(cell.c_str(), &end);
      // The whole cell must be the number ("80abc" is no number), blanks around it aside.
      while (end != nullptr && (*end == ' ' || *end == '\t' || *end == '\r')) ++end;
      if (cell.empty() || end == cell.c_str() || *end != '\0')
        Fail(entry, "'" + file.string() + "', line " + std::to_string(row) + ": '" + cell +
                        "' is not a number");
      values.push_back(x);
    }
    return values;
  }

 private:
  std::string fileName_;
};

// A number as a plan would give it: up to 12 significant digits.
std::string NumberText(double x) {
  std::ostringstream text;
  text << std::setprecision(12) << x;
  return text.str();
}

int ParamIndex(const std::string& symbol) {
  for (int i = 1; i <= ModelDef.numparam; ++i)
    if (Params[i].symbol == symbol) return i;
  return 0;
}

// An output's quantity: a state, else a process, else a driver of that symbol.
bool FindOutput(OutputSpec& o) {
  for (int i = 1; i <= ModelDef.numstate; ++i)
    if (States[i].symbol == o.symbol) return o.kind = OutputKind::kState, o.index = i, true;
  for (int k = 1; k <= ModelDef.numprocess; ++k)
    if (Processes[k].symbol == o.symbol) return o.kind = OutputKind::kProcess, o.index = k, true;
  for (int i = 1; i <= ModelDef.numdrivers; ++i)
    if (Drivers[i].symbol == o.symbol) return o.kind = OutputKind::kDriver, o.index = i, true;
  return false;
}

}  // namespace

std::uint64_t Fingerprint(std::string_view bytes) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ULL;
  }
  return h;
}

namespace {

constexpr std::size_t kLongestPlanLine = 10000;  // characters
constexpr int kDeepestPlanNesting = 16;          // arrays and inline tables within each other

// Refuses, before the TOML parser sees it, a text that would make it recurse without bound
// (arrays nested thousands deep) or take quadratic time (the parser scans a value's whole line
// for comments, so a list of a million numbers on one line takes minutes).
void CheckPlanShape(const PlanReader& r, const std::string& bytes) {
  int depth = 0, line = 1;
  std::size_t lineStart = 0;
  char quote = 0;
  bool comment = false;
  for (std::size_t i = 0; i <= bytes.size(); ++i) {
    const char c = i < bytes.size() ? bytes[i] : '\n';
    if (c == '\n') {
      if (i - lineStart > kLongestPlanLine)
        r.Fail("line " + std::to_string(line),
               "longer than " + std::to_string(kLongestPlanLine) +
                   " characters; split a long list over several lines, or give a table's "
                   "values in a file");
      ++line, lineStart = i + 1, comment = false;
      continue;
    }
    if (comment) continue;
    if (quote != 0) {
      if (c == '\\' && quote == '"')
        ++i;  // an escaped character
      else if (c == quote)
        quote = 0;
      continue;
    }
    if (c == '"' || c == '\'') quote = c;
    if (c == '#') comment = true;
    if (c == '[' || c == '{') ++depth;
    if (c == ']' || c == '}') --depth;
    if (depth > kDeepestPlanNesting)
      r.Fail("line " + std::to_string(line),
             "lists or tables nested more than " + std::to_string(kDeepestPlanNesting) + " deep");
  }
}

}  // namespace

EnsemblePlan ReadPlan(const std::string& fileName) {
  const PlanReader r(fileName);
  std::ifstream in(fileName, std::ios::binary);
  if (!in) r.Fail("file", "cannot be read");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  CheckPlanShape(r, bytes);
  toml::value data;
  try {
    std::istringstream text(bytes);
    data = toml::parse(text, fileName);
  } catch (const std::exception& e) {
    throw EPlanError(std::string(e.what()));
  }

  EnsemblePlan plan;
  plan.file = fileName;
  plan.hash = Fingerprint(bytes);
  const std::filesystem::path directory = plan.file.parent_path();
  const auto resolve = [&](const std::string& name) {
    const std::filesystem::path p(name);
    return (p.is_absolute() || directory.empty() ? p : directory / p).string();
  };
  plan.paramFile = resolve(r.Text(data, "params", "params"));
  plan.driverFile = resolve(r.Text(data, "drivers", "drivers"));
  plan.cells = r.WholeNumber(data, "cells", 1, 1, 100000);
  const RunTimes defaults;
  plan.times.start = r.NumberOr(data, "start", defaults.start, "start");
  plan.times.stop = r.NumberOr(data, "stop", defaults.stop, "stop");
  plan.times.step = r.NumberOr(data, "step", defaults.step, "step");
  plan.times.outputStep = r.NumberOr(data, "output_step", plan.times.step, "output_step");
  if (!std::isfinite(plan.times.start)) r.Fail("start", "must be a finite number");
  if (!std::isfinite(plan.times.stop)) r.Fail("stop", "must be a finite number");
  if (!(plan.times.stop > plan.times.start)) r.Fail("stop", "must be greater than start");
  if (!(plan.times.step > 0)) r.Fail("step", "must be greater than 0");
  // A run must end in reasonable time and memory: its steps are counted before it starts.
  const double steps = (plan.times.stop - plan.times.start) / plan.times.step;
  if (!(steps <= kMostRunSteps))
    r.Fail("step", "from start to stop the run would take " + NumberText(steps) +
                       " steps; a plan may take at most " + NumberText(kMostRunSteps));
  if (!(plan.times.outputStep >= plan.times.step))
    r.Fail("output_step", "must be at least the step (" + NumberText(plan.times.step) + ")");
  if (!(plan.times.outputStep <= plan.times.stop - plan.times.start))
    r.Fail("output_step",
           "must be at most stop - start (" + NumberText(plan.times.stop - plan.times.start) + ")");
  plan.members = r.WholeNumber(data, "members", 0, 1, 100000000);
  const double seed = r.Number(data, "seed", "seed");
  if (seed < 0 || seed != std::floor(seed) || seed > 9.0e15)
    r.Fail("seed", "must be a whole number of at least 0");
  plan.seed = static_cast<std::uint64_t>(seed);
  plan.oatStep = r.NumberOr(data, "oat_step", plan.oatStep, "oat_step");
  if (!(plan.oatStep > 0 && plan.oatStep < 1)) r.Fail("oat_step", "must lie between 0 and 1");
  plan.morrisLevels = r.WholeNumber(data, "morris_levels", plan.morrisLevels, 2, 100);

  if (!data.contains("parameter") || !data.at("parameter").is_array())
    r.Fail("parameter", "at least one [[parameter]] is needed");
  std::map<std::string, int> position;
  for (const toml::value& p : data.at("parameter").as_array()) {
    const std::string entry = "parameter " + std::to_string(plan.parameters.size() + 1);
    VariedParameter v;
    v.symbol = r.Text(p, "symbol", entry);
    const std::string named = "parameter '" + v.symbol + "'";
    v.index = ParamIndex(v.symbol);
    if (v.index == 0) r.Fail(named, "no parameter of the model has this symbol");
    if (position.count(v.symbol) != 0) r.Fail(named, "varies twice");
    v.distribution = r.ReadDistribution(p, named, directory);
    if (p.contains("file")) plan.tableFiles.push_back((directory / r.Text(p, "file", named)).string());
    position[v.symbol] = static_cast<int>(plan.parameters.size());
    plan.parameters.push_back(std::move(v));
  }

  if (data.contains("correlation")) {
    for (const toml::value& c : data.at("correlation").as_array()) {
      const std::string a = r.Text(c, "a", "correlation"), b = r.Text(c, "b", "correlation");
      const std::string entry = "correlation of '" + a + "' and '" + b + "'";
      if (position.count(a) == 0 || position.count(b) == 0 || a == b)
        r.Fail(entry, "a and b must be two different varied parameters");
      const double rho = r.Number(c, "rank", entry);
      if (!(rho > -1 && rho < 1)) r.Fail(entry, "rank must lie between -1 and 1");
      for (const RankCorrelation& earlier : plan.correlations)
        if ((earlier.a == position[a] && earlier.b == position[b]) ||
            (earlier.a == position[b] && earlier.b == position[a]))
          r.Fail(entry, "given twice");
      plan.correlations.push_back({position[a], position[b], rho});
    }
    // The matrix the design is built from must be positive definite.
    if (!CholeskyFactor(NormalScoreCorrelation(CorrelationMatrix(plan))))
      r.Fail("correlation", "the rank correlations form a matrix that is not positive definite");
  }

  if (data.contains("output")) {
    std::vector<double> lines;  // the run's output times, once needed
    for (const toml::value& o : data.at("output").as_array()) {
      OutputSpec wanted;
      wanted.symbol = r.Text(o, "symbol", "output");
      const std::string entry = "output '" + wanted.symbol + "'";
      if (!FindOutput(wanted)) r.Fail(entry, "no state, process or driver has this symbol");
      if (o.contains("times")) wanted.times = r.Numbers(o, "times", entry);
      wanted.everyLine =
          o.contains("yearly") && o.at("yearly").is_boolean() && o.at("yearly").as_boolean();
      if (wanted.times.empty() && !wanted.everyLine)
        r.Fail(entry, "give 'times = [...]' or 'yearly = true'");
      if (lines.empty()) lines = OutputTimes(plan.times);
      // A kept time is the output line within half an output step of it.
      for (const double at : wanted.times) {
        const auto next = std::lower_bound(lines.begin(), lines.end(), at);
        const bool after = next != lines.end() && *next - at < 0.5 * plan.times.outputStep;
        const bool before = next != lines.begin() && at - *(next - 1) < 0.5 * plan.times.outputStep;
        if (after || before) continue;
        std::string nearest;
        if (next != lines.begin()) nearest = NumberText(*(next - 1));
        if (next != lines.end()) nearest += (nearest.empty() ? "" : " and ") + NumberText(*next);
        r.Fail(entry, "the run writes no output line at " + NumberText(at) +
                          " (the nearest: " + nearest + ")");
      }
      plan.outputs.push_back(std::move(wanted));
    }
  }
  return plan;
}

}  // namespace kvsorv::ensemble
