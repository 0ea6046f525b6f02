#include "program/run_modes.h"

#include <algorithm>
#include <cctype>

namespace kvsorv {

TRunModes RunModes;

TRunModes RunModesFromExecutableName(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  name = name.substr(0, name.find('.'));
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return TRunModes{
      .ModelBatchMode = name == "modelbatch",
      .SensitivityMode = name == "sensitivity",
      .MonteCarloMode = name == "montecarlo",
      .InteractiveMode = name.find("orv") != std::string::npos,
  };
}

}  // namespace kvsorv
