#pragma once
// The parts of a plan's TOML text that every plan writer shares: quoted texts, numbers that
// read back to the same double, lists of them, and file names as the plan should give them.

#include <string>
#include <vector>

namespace kvsorv::ensemble {

// A TOML basic string: quotes and backslashes escaped.
std::string TomlQuoted(const std::string& text);
// A TOML number that reads back to the same double.
std::string TomlNumber(double x);
// A TOML list of numbers, eight a line: a plan is read back line by line, and lines are kept
// short.
std::string TomlList(const std::vector<double>& values);
// A file's name as the plan at `planFile` should give it: relative to the plan's directory
// when it lies inside it, else absolute.
std::string PathFromPlan(const std::string& file, const std::string& planFile);

}  // namespace kvsorv::ensemble
