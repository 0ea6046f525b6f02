#pragma once
// What the commands of kvsorv-cli share: numbers printed exactly and the parameter file
// loaded into the global tables.

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace kvsorv::cli {

// The site a command evaluates: parameter file, driver file, the time at which the drivers
// are read and the water coefficient.
struct SiteOptions {
  std::string params;
  std::string drivers;
  std::optional<double> time;
  std::optional<double> waterCoefficient;
};

// Declares --params, --drivers, --time and --water-coefficient.
void AddSiteOptions(CLI::App& command, SiteOptions& site);

// "%.17g": enough digits to give the double back exactly, independent of the locale.
std::string Exact(double value);

// Reads the parameter file into the global States and Params; false when it was rejected
// (the prompter has said why).
bool LoadParameters(const std::string& fileName);

}  // namespace kvsorv::cli
