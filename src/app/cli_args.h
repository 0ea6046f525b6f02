#pragma once
// Options of the command-line tool: "--name value" or "--name=value"; options may repeat.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kvsorv::cli {

class Options {
 public:
  // Parses argv[first..argc) against the allowed option names (without "--"). Raises
  // std::invalid_argument naming the offending word for an unknown option, a missing value or
  // a stray argument.
  Options(int argc, char** argv, int first, const std::vector<std::string>& allowed);

  bool Has(const std::string& name) const { return values_.count(name) > 0; }
  // The last value given for the option, if any.
  std::optional<std::string> Get(const std::string& name) const;
  // Every value given for the option, in order.
  std::vector<std::string> GetAll(const std::string& name) const;
  // The option's value, or raises std::invalid_argument "missing --name".
  std::string Require(const std::string& name) const;
  // The option's value as a number, or `fallback` when absent. Raises std::invalid_argument
  // when the text is not a number.
  double Number(const std::string& name, double fallback) const;

 private:
  std::map<std::string, std::vector<std::string>> values_;
};

}  // namespace kvsorv::cli
