#pragma once
// Reading the entries plans of every kind share (the site, the times, parameters with their
// distributions, kept outputs), each failure naming the plan's file and the entry.

#include <filesystem>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <toml.hpp>
#include <vector>

#include "ensemble/plan.h"
#include "ensemble/table_file.h"

namespace kvsorv::ensemble {

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
                const std::vector<const char*>& unlisted = {}) const {
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

  // `moreKeys`: keys of the parameter's table besides its symbol and distribution.
  Distribution ReadDistribution(const toml::value& p, const std::string& entry,
                                const std::filesystem::path& directory,
                                std::initializer_list<const char*> moreKeys = {}) const {
    const std::string kind = Text(p, "distribution", entry);
    const auto n = [&](const char* key) { return Number(p, key, entry); };
    // The keys every parameter has besides its distribution's arguments.
    const auto only = [&](std::initializer_list<const char*> arguments) {
      OnlyKeys(p, entry, "an argument of a " + kind + " distribution", arguments,
               Keys({"symbol", "distribution"}, moreKeys));
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

  static std::vector<const char*> Keys(std::initializer_list<const char*> a,
                                       std::initializer_list<const char*> b) {
    std::vector<const char*> keys(a);
    keys.insert(keys.end(), b.begin(), b.end());
    return keys;
  }

 private:
  std::string fileName_;
};

// A number as a plan would give it: up to 12 significant digits.
std::string PlanNumberText(double x);

// Refuses more than `most` tables of [[key]].
void CheckCount(const PlanReader& r, const toml::array& tables, const std::string& key,
                std::size_t most, const std::string& what);

// Refuses a time at which the run writes no output line (a time is the line within half an
// output step of it), and two times of the same line (named `where`: the entry and the line
// of its times).
void CheckKeptTimes(const PlanReader& r, const std::string& entry, const std::string& where,
                    const std::vector<double>& times, const std::vector<double>& lines,
                    double outputStep);

// The plan's TOML text; EPlanError naming the file when it is no TOML.
toml::value ParsePlan(const std::string& fileName, const std::string& bytes);

// A file named in the plan: relative names are taken from the plan's folder.
std::string Resolve(const std::filesystem::path& directory, const std::string& name);

// The parameter and driver files and the cells.
void ReadSite(const PlanReader& r, const toml::value& data, const std::filesystem::path& directory,
              EnsemblePlan& plan);

RunTimes ReadRunTimes(const PlanReader& r, const toml::value& data);

// The [[parameter]] tables, each a symbol and a distribution (and the keys `moreKeys`, which
// the caller reads); returns the position of each symbol among them.
std::map<std::string, int> ReadParameters(const PlanReader& r, const toml::array& parameters,
                                          const std::filesystem::path& directory,
                                          EnsemblePlan& plan,
                                          std::initializer_list<const char*> moreKeys = {});

// The [[output]] tables.
void ReadOutputs(const PlanReader& r, const toml::array& outputs, EnsemblePlan& plan);

}  // namespace kvsorv::ensemble
