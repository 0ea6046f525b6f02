#include "ensemble/plan.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <toml.hpp>

#include "ensemble/output_times.h"
#include "ensemble/plan_bytes.h"
#include "ensemble/rank_correlation.h"
#include "ensemble/table_file.h"
#include "model/catalogue.h"

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
      if (!std::isfinite(values.back()))
        Fail(At(entry, v),
             "entry " + std::to_string(values.size()) + " of '" + key + "' is not a finite number");
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

  // The entry with the line of a value in the plan, when the value has one.
  static std::string At(const std::string& entry, const toml::value& v) {
    const std::uint_least32_t line = v.location().line();
    if (line == 0) return entry.empty() ? "plan" : entry;
    return (entry.empty() ? "line " : entry + ", line ") + std::to_string(line);
  }

  // Refuses a key of a table that is not one of `listed` or `unlisted`: a mistyped or
  // misplaced key would otherwise be ignored without a word. The message names the first
  // such key in the file, its line, and the keys listed (`what` is "a key of an output").
  void OnlyKeys(const toml::value& t, const std::string& entry, const std::string& what,
                std::initializer_list<const char*> listed,
                std::initializer_list<const char*> unlisted = {}) const {
    if (!t.is_table()) return;
    const std::string* first = nullptr;
    std::uint_least32_t firstLine = 0;
    for (const auto& [key, value] : t.as_table()) {
      const auto is = [&key](const char* k) { return key == k; };
      if (std::any_of(listed.begin(), listed.end(), is) ||
          std::any_of(unlisted.begin(), unlisted.end(), is))
        continue;
      const std::uint_least32_t line = value.location().line();
      if (first == nullptr || line < firstLine || (line == firstLine && key < *first))
        first = &key, firstLine = line;
    }
    if (first == nullptr) return;
    std::string list;
    for (const char* k : listed) list += std::string(list.empty() ? "" : ", ") + k;
    Fail(At(entry, t.at(*first)), "'" + *first + "' is not " + what + " (it takes " + list + ")");
  }

  // The tables of an array of tables ([[key]]), none when the key is absent.
  const toml::array& Tables(const toml::value& data, const std::string& key) const {
    static const toml::array kNone;
    if (!data.contains(key)) return kNone;
    const toml::value& v = data.at(key);
    if (!v.is_array() || !std::all_of(v.as_array().begin(), v.as_array().end(),
                                      [](const toml::value& t) { return t.is_table(); }))
      Fail(At(key, v), "must be [[" + key + "]] tables");
    return v.as_array();
  }

  Distribution ReadDistribution(const toml::value& p, const std::string& entry,
                                const std::filesystem::path& directory) const {
    const std::string kind = Text(p, "distribution", entry);
    const auto n = [&](const char* key) { return Number(p, key, entry); };
    // The keys every parameter has besides its distribution's arguments.
    const auto only = [&](std::initializer_list<const char*> arguments) {
      OnlyKeys(p, entry, "an argument of a " + kind + " distribution", arguments,
               {"symbol", "distribution"});
    };
    if (kind == "uniform") only({"min", "max"});
    if (kind == "normal") only({"mean", "sd"});
    if (kind == "lognormal") only({"meanlog", "sdlog"});
    if (kind == "triangular") only({"min", "mode", "max"});
    if (kind == "truncated-normal") only({"mean", "sd", "min", "max"});
    if (kind == "table") {
      only({"values", "file", "column"});
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
    try {
      return ReadTableColumn(file, column);
    } catch (const std::runtime_error& e) {
      Fail(entry, e.what());
    }
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

// An output's quantity: a state, else a process, else a driver of that symbol.
bool FindOutput(OutputSpec& o) {
  const std::optional<OutputQuantity> q = FindOutputQuantity(o.symbol);
  if (!q) return false;
  o.kind = q->kind;
  o.index = q->index;
  return true;
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

// Refuses more than `most` tables of [[key]].
void CheckCount(const PlanReader& r, const toml::array& tables, const std::string& key,
                std::size_t most, const std::string& what) {
  if (tables.size() > most)
    r.Fail(key, std::to_string(tables.size()) + " [[" + key + "]] tables; a plan may " + what +
                    " at most " + std::to_string(most));
}

// Refuses a kept time at which the run writes no output line (a kept time is the line within
// half an output step of it), and two kept times of the same line (named `where`: the entry
// and the line of its times).
void CheckKeptTimes(const PlanReader& r, const std::string& entry, const std::string& where,
                    const std::vector<double>& times, const std::vector<double>& lines,
                    double outputStep) {
  std::vector<std::pair<std::size_t, double>> at;  // the line of each time, and the time
  at.reserve(times.size());
  for (const double t : times) {
    const auto next = std::lower_bound(lines.begin(), lines.end(), t);
    const bool after = next != lines.end() && *next - t < 0.5 * outputStep;
    const bool before = next != lines.begin() && t - *(next - 1) < 0.5 * outputStep;
    if (before && !(after && *next - t < t - *(next - 1))) {
      at.emplace_back(static_cast<std::size_t>(next - lines.begin()) - 1, t);
      continue;
    }
    if (after) {
      at.emplace_back(static_cast<std::size_t>(next - lines.begin()), t);
      continue;
    }
    std::string nearest;
    if (next != lines.begin()) nearest = NumberText(*(next - 1));
    if (next != lines.end()) nearest += (nearest.empty() ? "" : " and ") + NumberText(*next);
    r.Fail(entry,
           "the run writes no output line at " + NumberText(t) + " (the nearest: " + nearest + ")");
  }
  std::sort(at.begin(), at.end());
  const auto same = std::adjacent_find(
      at.begin(), at.end(), [](const auto& a, const auto& b) { return a.first == b.first; });
  if (same == at.end()) return;
  const auto& [line, first] = *same;
  const double second = (same + 1)->second;
  if (first == second) r.Fail(where, "the time " + NumberText(first) + " is kept twice");
  r.Fail(where, "the times " + NumberText(first) + " and " + NumberText(second) +
                    " are kept at the same output line (" + NumberText(lines[line]) + ")");
}

// The TOML library's message as the plan's others read: the file and the line, then the
// first line of its text without the library's own prefix ("[error] toml::parse_...: ").
std::string TomlErrorText(const std::string& fileName, const toml::exception& e) {
  std::string text = e.what();
  text = text.substr(0, text.find('\n'));
  if (text.rfind("[error] ", 0) == 0) text.erase(0, 8);
  // The library's function name: "toml::parse_basic_string: ", "parse_ml_basic_string: ".
  const std::size_t colon = text.find(": ");
  if (colon != std::string::npos &&
      text.find_first_not_of("abcdefghijklmnopqrstuvwxyz_:", 0) == colon + 1)
    text.erase(0, colon + 2);
  const std::size_t line = e.location().line();
  return fileName + (line > 0 ? ": line " + std::to_string(line) : std::string()) +
         ": not a plan's TOML text: " + text;
}

// The plan's TOML text; EPlanError naming the file when it is no TOML.
toml::value ParsePlan(const std::string& fileName, const std::string& bytes) {
  try {
    std::istringstream text(bytes);
    return toml::parse(text, fileName);
  } catch (const toml::exception& e) {
    throw EPlanError(TomlErrorText(fileName, e));
  } catch (const std::exception& e) {
    throw EPlanError(fileName + ": " + e.what());
  }
}

// A file named in the plan: relative names are taken from the plan's folder.
std::string Resolve(const std::filesystem::path& directory, const std::string& name) {
  const std::filesystem::path p(name);
  return (p.is_absolute() || directory.empty() ? p : directory / p).string();
}

// The parameter and driver files and the cells.
void ReadSite(const PlanReader& r, const toml::value& data, const std::filesystem::path& directory,
              EnsemblePlan& plan) {
  plan.paramFile = Resolve(directory, r.Text(data, "params", "params"));
  plan.driverFile = Resolve(directory, r.Text(data, "drivers", "drivers"));
  plan.cells = r.WholeNumber(data, "cells", 1, 1, 100000);
}

RunTimes ReadRunTimes(const PlanReader& r, const toml::value& data) {
  const RunTimes defaults;
  RunTimes times;
  times.start = r.NumberOr(data, "start", defaults.start, "start");
  times.stop = r.NumberOr(data, "stop", defaults.stop, "stop");
  times.step = r.NumberOr(data, "step", defaults.step, "step");
  times.outputStep = r.NumberOr(data, "output_step", times.step, "output_step");
  if (!std::isfinite(times.start)) r.Fail("start", "must be a finite number");
  if (!std::isfinite(times.stop)) r.Fail("stop", "must be a finite number");
  if (!(times.stop > times.start)) r.Fail("stop", "must be greater than start");
  if (!(times.step > 0)) r.Fail("step", "must be greater than 0");
  // A run must end in reasonable time and memory: its steps are counted before it starts.
  const double steps = (times.stop - times.start) / times.step;
  if (!(steps <= kMostRunSteps))
    r.Fail("step", "from start to stop the run would take " + NumberText(steps) +
                       " steps; a plan may take at most " + NumberText(kMostRunSteps));
  if (!(times.outputStep >= times.step))
    r.Fail("output_step", "must be at least the step (" + NumberText(times.step) + ")");
  if (!(times.outputStep <= times.stop - times.start))
    r.Fail("output_step",
           "must be at most stop - start (" + NumberText(times.stop - times.start) + ")");
  return times;
}

// The members, the seed and the designs' own settings.
void ReadDesignSettings(const PlanReader& r, const toml::value& data, EnsemblePlan& plan) {
  plan.members = r.WholeNumber(data, "members", 0, 1, 100000000);
  const double seed = r.Number(data, "seed", "seed");
  if (seed < 0 || seed != std::floor(seed) || seed > 9.0e15)
    r.Fail("seed", "must be a whole number of at least 0");
  plan.seed = static_cast<std::uint64_t>(seed);
  plan.oatStep = r.NumberOr(data, "oat_step", plan.oatStep, "oat_step");
  if (!(plan.oatStep > 0 && plan.oatStep < 1)) r.Fail("oat_step", "must lie between 0 and 1");
  plan.morrisLevels = r.WholeNumber(data, "morris_levels", plan.morrisLevels, 2, 100);
}

// The varied parameters; returns the position of each symbol among them.
std::map<std::string, int> ReadParameters(const PlanReader& r, const toml::array& parameters,
                                          const std::filesystem::path& directory,
                                          EnsemblePlan& plan) {
  std::map<std::string, int> position;
  for (const toml::value& p : parameters) {
    const std::string entry = "parameter " + std::to_string(plan.parameters.size() + 1);
    VariedParameter v;
    v.symbol = r.Text(p, "symbol", entry);
    const std::string named = "parameter '" + v.symbol + "'";
    v.index = ParamIndex(v.symbol);
    if (v.index == 0) r.Fail(named, "no parameter of the model has this symbol");
    if (position.count(v.symbol) != 0) r.Fail(r.At(named, p), "varies twice");
    v.distribution = r.ReadDistribution(p, named, directory);
    if (p.contains("file"))
      plan.tableFiles.push_back((directory / r.Text(p, "file", named)).string());
    position[v.symbol] = static_cast<int>(plan.parameters.size());
    plan.parameters.push_back(std::move(v));
  }
  return position;
}

void ReadCorrelations(const PlanReader& r, const toml::array& correlations,
                      std::map<std::string, int>& position, EnsemblePlan& plan) {
  if (correlations.empty()) return;
  std::set<std::pair<int, int>> pairs;  // positions, the lower first
  for (const toml::value& c : correlations) {
    const std::string a = r.Text(c, "a", "correlation"), b = r.Text(c, "b", "correlation");
    const std::string entry = "correlation of '" + a + "' and '" + b + "'";
    r.OnlyKeys(c, entry, "a key of a correlation", {"a", "b", "rank"});
    if (position.count(a) == 0 || position.count(b) == 0 || a == b)
      r.Fail(entry, "a and b must be two different varied parameters");
    const double rho = r.Number(c, "rank", entry);
    if (!(rho > -1 && rho < 1)) r.Fail(entry, "rank must lie between -1 and 1");
    if (!pairs.insert(std::minmax(position[a], position[b])).second) r.Fail(entry, "given twice");
    plan.correlations.push_back({position[a], position[b], rho});
  }
  // The matrix the design is built from must be positive definite.
  if (!CholeskyFactor(NormalScoreCorrelation(CorrelationMatrix(plan))))
    r.Fail("correlation", "the rank correlations form a matrix that is not positive definite");
}

// An output's 'times' or 'yearly', one of them.
void ReadKeptTimes(const PlanReader& r, const toml::value& o, const std::string& entry,
                   OutputSpec& wanted) {
  if (o.contains("times")) {
    const toml::value& times = o.at("times");
    if (times.is_array() && times.as_array().size() > kMostKeptTimes)
      r.Fail(r.At(entry, times),
             std::to_string(times.as_array().size()) + " kept times; an output may keep at most " +
                 std::to_string(kMostKeptTimes) + " (or every output line, with 'yearly = true')");
    wanted.times = r.Numbers(o, "times", entry);
  }
  if (o.contains("yearly")) {
    if (!o.at("yearly").is_boolean())
      r.Fail(r.At(entry, o.at("yearly")), "'yearly' must be true or false");
    wanted.everyLine = o.at("yearly").as_boolean();
  }
  if (wanted.everyLine && o.contains("times"))
    r.Fail(r.At(entry, o.at("times")), "give 'times = [...]' or 'yearly = true', not both");
  if (wanted.times.empty() && !wanted.everyLine)
    r.Fail(r.At(entry, o), "give 'times = [...]' or 'yearly = true'");
}

// One [[output]]; `kept` holds the symbols of those read before it.
OutputSpec ReadOutput(const PlanReader& r, const toml::value& o, std::set<std::string>& kept) {
  OutputSpec wanted;
  wanted.symbol = r.Text(o, "symbol", "output");
  const std::string entry = "output '" + wanted.symbol + "'";
  r.OnlyKeys(o, entry, "a key of an output", {"symbol", "times", "yearly"});
  if (!FindOutput(wanted)) r.Fail(entry, "no state, process or driver has this symbol");
  // Every output is kept of every cell: a symbol twice would be two columns of one output.
  if (!kept.insert(wanted.symbol).second)
    r.Fail(r.At(entry, o), "given twice; keep an output once, with all its times");
  ReadKeptTimes(r, o, entry, wanted);
  return wanted;
}

void ReadOutputs(const PlanReader& r, const toml::array& outputs, EnsemblePlan& plan) {
  std::vector<double> lines;  // the run's output times, once needed
  std::set<std::string> kept;
  for (const toml::value& o : outputs) {
    OutputSpec wanted = ReadOutput(r, o, kept);
    const std::string entry = "output '" + wanted.symbol + "'";
    if (lines.empty()) lines = OutputTimes(plan.times);
    if (!wanted.times.empty())
      CheckKeptTimes(r, entry, r.At(entry, o.at("times")), wanted.times, lines,
                     plan.times.outputStep);
    plan.outputs.push_back(std::move(wanted));
  }
}

}  // namespace

EnsemblePlan ReadPlan(const std::string& fileName) {
  const PlanReader r(fileName);
  const std::string bytes = ReadPlanBytes(fileName);
  const toml::value data = ParsePlan(fileName, bytes);
  r.OnlyKeys(data, "", "a key of a plan",
             {"params", "drivers", "cells", "start", "stop", "step", "output_step", "members",
              "seed", "oat_step", "morris_levels", "parameter", "correlation", "output"});
  EnsemblePlan plan;
  plan.file = fileName;
  plan.hash = Fingerprint(bytes);
  const std::filesystem::path directory = plan.file.parent_path();
  ReadSite(r, data, directory, plan);
  plan.times = ReadRunTimes(r, data);
  ReadDesignSettings(r, data, plan);

  const toml::array& parameters = r.Tables(data, "parameter");
  const toml::array& correlations = r.Tables(data, "correlation");
  const toml::array& outputs = r.Tables(data, "output");
  if (parameters.empty()) r.Fail("parameter", "at least one [[parameter]] is needed");
  CheckCount(r, parameters, "parameter", kMostPlanParameters, "vary");
  CheckCount(r, outputs, "output", kMostPlanOutputs, "keep");
  CheckCount(r, correlations, "correlation", kMostPlanCorrelations, "give");
  std::map<std::string, int> position = ReadParameters(r, parameters, directory, plan);
  ReadCorrelations(r, correlations, position, plan);
  ReadOutputs(r, outputs, plan);
  return plan;
}

}  // namespace kvsorv::ensemble

namespace kvsorv::ensemble {

void RequireOutputs(const EnsemblePlan& plan) {
  if (plan.outputs.empty())
    throw EPlanError(plan.file.string() +
                     ": output: the plan keeps no output; give at least one [[output]] with "
                     "'times = [...]' or 'yearly = true'");
}

}  // namespace kvsorv::ensemble
