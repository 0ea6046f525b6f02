#include "ensemble_window/plan_table.h"

#include <charconv>
#include <cmath>
#include <map>
#include <sstream>

#include "model/catalogue.h"

namespace kvsorv::ensemble {

namespace {

const std::map<std::string, std::vector<std::string>>& Arguments() {
  static const std::map<std::string, std::vector<std::string>> arguments = {
      {"uniform", {"min", "max"}},
      {"normal", {"mean", "sd"}},
      {"lognormal", {"meanlog", "sdlog"}},
      {"triangular", {"min", "mode", "max"}},
      {"truncated-normal", {"mean", "sd", "min", "max"}},
      {"table", {"values"}},
  };
  return arguments;
}

// The shortest text that reads back to the same number.
std::string NumberText(double x) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, x).ptr;
  return std::string(text, end);
}

// A whole text as one finite number.
bool ReadNumber(const std::string& text, double& x) {
  std::size_t first = text.find_first_not_of(" \t");
  std::size_t last = text.find_last_not_of(" \t");
  if (first == std::string::npos) return false;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin == '+') ++begin;
  const auto [stop, error] = std::from_chars(begin, end, x);
  return error == std::errc() && stop == end && std::isfinite(x);
}

// The row's distribution, or the reason there is none (without the row's name).
std::string ReadRow(const PlanRow& row, Distribution& d) {
  const std::vector<std::string>& names = ArgumentNames(row.distribution);
  if (names.empty()) return "choose a distribution";
  std::vector<double> x;
  if (row.distribution == "table") {
    std::string text = row.arguments.empty() ? std::string() : row.arguments[0];
    for (char& c : text)
      if (c == ',' || c == ';') c = ' ';
    std::istringstream words(text);
    for (std::string word; words >> word;) {
      double value = 0;
      if (!ReadNumber(word, value)) return "'" + word + "' in values is not a number";
      x.push_back(value);
    }
    if (x.empty()) return "values must list at least one number";
    d = Table::Of(std::move(x));
  } else {
    for (std::size_t a = 0; a < names.size(); ++a) {
      const std::string text = a < row.arguments.size() ? row.arguments[a] : std::string();
      double value = 0;
      if (text.find_first_not_of(" \t") == std::string::npos) return names[a] + " is missing";
      if (!ReadNumber(text, value)) return names[a] + " '" + text + "' is not a number";
      x.push_back(value);
    }
    const std::string& kind = row.distribution;
    if (kind == "uniform") d = Uniform{x[0], x[1]};
    if (kind == "normal") d = Normal{x[0], x[1]};
    if (kind == "lognormal") d = LogNormal{x[0], x[1]};
    if (kind == "triangular") d = Triangular{x[0], x[1], x[2]};
    if (kind == "truncated-normal") d = TruncatedNormal{x[0], x[1], x[2], x[3]};
  }
  return Impossibility(d);
}

}  // namespace

const std::vector<std::string>& DistributionNames() {
  static const std::vector<std::string> names = {"uniform",    "normal",           "lognormal",
                                                 "triangular", "truncated-normal", "table"};
  return names;
}

const std::vector<std::string>& ArgumentNames(const std::string& distribution) {
  static const std::vector<std::string> none;
  const auto found = Arguments().find(distribution);
  return found == Arguments().end() ? none : found->second;
}

PlanRow RowOf(const VariedParameter& parameter) {
  PlanRow row{.symbol = parameter.symbol, .distribution = {}, .arguments = {}};
  std::visit(
      [&](const auto& d) {
        using D = std::decay_t<decltype(d)>;
        const auto put = [&](std::initializer_list<double> values) {
          for (const double v : values) row.arguments.push_back(NumberText(v));
        };
        if constexpr (std::is_same_v<D, Uniform>) {
          row.distribution = "uniform", put({d.min, d.max});
        } else if constexpr (std::is_same_v<D, Normal>) {
          row.distribution = "normal", put({d.mean, d.sd});
        } else if constexpr (std::is_same_v<D, LogNormal>) {
          row.distribution = "lognormal", put({d.meanlog, d.sdlog});
        } else if constexpr (std::is_same_v<D, Triangular>) {
          row.distribution = "triangular", put({d.min, d.mode, d.max});
        } else if constexpr (std::is_same_v<D, TruncatedNormal>) {
          row.distribution = "truncated-normal", put({d.mean, d.sd, d.min, d.max});
        } else {
          row.distribution = "table";
          std::string values;
          for (const double v : d.values) {
            if (!values.empty()) values += ' ';
            values += NumberText(v);
          }
          row.arguments.push_back(values);
        }
      },
      parameter.distribution);
  return row;
}

std::string RowProblem(const std::vector<PlanRow>& rows, std::size_t row) {
  const PlanRow& r = rows.at(row);
  std::string name = "row " + std::to_string(row + 1);
  if (r.symbol.empty()) return name + ": the symbol is missing";
  if (ParamIndex(r.symbol) == 0) return name + ": '" + r.symbol + "' is no parameter of the model";
  name += " (" + r.symbol + ")";
  for (std::size_t other = 0; other < row; ++other)
    if (rows[other].symbol == r.symbol)
      return name + ": varies already in row " + std::to_string(other + 1);
  Distribution d;
  const std::string why = ReadRow(r, d);
  return why.empty() ? why : name + ": " + why;
}

VariedParameter ParameterOf(const std::vector<PlanRow>& rows, std::size_t row) {
  if (const std::string why = RowProblem(rows, row); !why.empty()) throw EPlanError(why);
  VariedParameter v;
  v.symbol = rows[row].symbol;
  v.index = ParamIndex(v.symbol);
  ReadRow(rows[row], v.distribution);
  return v;
}

}  // namespace kvsorv::ensemble
