#include "app/cli_support.h"

#include <array>
#include <charconv>

#include "app/cli_options.h"
#include "files/param_file.h"
#include "model/globals.h"
#include "program/run_settings.h"

namespace kvsorv::cli {

void AddSiteOptions(CLI::App& command, SiteOptions& site) {
  AddRequiredText(command, "--params", "FILE", site.params, "Parameter file");
  AddRequiredText(command, "--drivers", "FILE", site.drivers, "Driver file");
  AddNumber(command, "--time", "T", site.time,
            "Time (year) at which the drivers are read, " + Exact(TRunSettings{}.SteadyStateTime) +
                " unless given");
  AddNumber(command, "--water-coefficient", "G", site.waterCoefficient,
            "Water coefficient, 0 unless given");
}

std::string Exact(double value) {
  std::array<char, 40> buf{};
  const auto r =
      std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 17);
  return std::string(buf.data(), r.ptr);
}

bool LoadParameters(const std::string& fileName) {
  double residual = 0.0;
  return ReadParamFile(fileName, ModelDef.numparam, Params, ModelDef.numstate, States, residual);
}

}  // namespace kvsorv::cli
