#include "ensemble/plan_reader.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <optional>
#include <sstream>

#include "ensemble/output_times.h"
#include "ensemble/plan_bytes.h"
#include "ensemble/table_file.h"
#include "model/catalogue.h"

namespace kvsorv::ensemble {

// A number as a plan would give it: up to 12 significant digits.
std::string PlanNumberText(double x) {
  std::ostringstream text;
  text << std::setprecision(12) << x;
  return text.str();
}

namespace {

// An output's quantity: a state, else a process, else a driver of that symbol.
bool FindOutput(OutputSpec& o) {
  const std::optional<OutputQuantity> q = FindOutputQuantity(o.symbol);
  if (!q) return false;
  o.kind = q->kind;
  o.index = q->index;
  return true;
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

}  // namespace

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
    if (const std::optional<std::size_t> line = LineAt(lines, t, outputStep)) {
      at.emplace_back(*line, t);
      continue;
    }
    r.Fail(entry, "the run writes no output line at " + PlanNumberText(t) +
                      " (the nearest: " + NearestLinesText(lines, t) + ")");
  }
  std::sort(at.begin(), at.end());
  const auto same = std::adjacent_find(
      at.begin(), at.end(), [](const auto& a, const auto& b) { return a.first == b.first; });
  if (same == at.end()) return;
  const auto& [line, first] = *same;
  const double second = (same + 1)->second;
  if (first == second) r.Fail(where, "the time " + PlanNumberText(first) + " is kept twice");
  r.Fail(where, "the times " + PlanNumberText(first) + " and " + PlanNumberText(second) +
                    " are kept at the same output line (" + PlanNumberText(lines[line]) + ")");
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
    r.Fail("step", "from start to stop the run would take " + PlanNumberText(steps) +
                       " steps; a plan may take at most " + PlanNumberText(kMostRunSteps));
  if (!(times.outputStep >= times.step))
    r.Fail("output_step", "must be at least the step (" + PlanNumberText(times.step) + ")");
  if (!(times.outputStep <= times.stop - times.start))
    r.Fail("output_step",
           "must be at most stop - start (" + PlanNumberText(times.stop - times.start) + ")");
  return times;
}

std::map<std::string, int> ReadParameters(const PlanReader& r, const toml::array& parameters,
                                          const std::filesystem::path& directory,
                                          EnsemblePlan& plan,
                                          std::initializer_list<const char*> moreKeys) {
  std::map<std::string, int> position;  // those of a posterior read before come first
  for (std::size_t j = 0; j < plan.parameters.size(); ++j)
    position[plan.parameters[j].symbol] = static_cast<int>(j);
  for (const toml::value& p : parameters) {
    const std::string entry = "parameter " + std::to_string(plan.parameters.size() + 1);
    VariedParameter v;
    v.symbol = r.Text(p, "symbol", entry);
    const std::string named = "parameter '" + v.symbol + "'";
    v.index = ParamIndex(v.symbol);
    if (v.index == 0) r.Fail(named, "no parameter of the model has this symbol");
    if (position.count(v.symbol) != 0) r.Fail(r.At(named, p), "varies twice");
    v.distribution = r.ReadDistribution(p, named, directory, moreKeys);
    if (p.contains("file"))
      plan.tableFiles.push_back((directory / r.Text(p, "file", named)).string());
    position[v.symbol] = static_cast<int>(plan.parameters.size());
    plan.parameters.push_back(std::move(v));
  }
  return position;
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

}  // namespace kvsorv::ensemble
