#include "run/run_settings.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "model/errors.h"
#include "model/prompter.h"

namespace kvsorv {

TRunSettings RunSettings = DefaultRunSettings();
TRunModes RunModes;

TRunSettings DefaultRunSettings() {
  TRunSettings s;
  s.Tolerance = 1e-8;
  s.StartTime = 0.0;
  s.StopTime = 2.0;
  s.TimeStep = 1.0;
  s.OutputStep = 1.0;
  s.SteadyStateTime = s.StartTime;
  return s;
}

TRunModes RunModesFromExecutableName(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  name = name.substr(0, name.find('.'));
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  TRunModes modes;
  modes.ModelBatchMode = name == "modelbatch";
  modes.SensitivityMode = name == "sensitivity";
  modes.MonteCarloMode = name == "montecarlo";
  modes.InteractiveMode = name.find("orv") != std::string::npos;
  return modes;
}

void CheckOutputStep(double s, const TRunSettings& settings) {
  if (s < settings.TimeStep) throw EOutputStepTooSmall();
  if (s > settings.StopTime - settings.StartTime) throw EOutputStepTooLarge();
  const double r = s / settings.TimeStep;
  const double k = std::round(r);
  if (std::fabs(k - r) > 0.001) throw EOutputStepNotMultiple();
}

bool RepairOutputStep(TRunSettings& settings) {
  settings.OutputReloadPending = true;
  std::string text;
  try {
    CheckOutputStep(settings.OutputStep, settings);
    return false;
  } catch (const EOutputStepTooSmall& e) {
    settings.OutputStep = settings.TimeStep;
    text = e.Message() + " Output time step increased to time step.";
  } catch (const EOutputStepTooLarge& e) {
    settings.OutputStep = settings.StopTime - settings.StartTime;
    text = e.Message() + " Output time step decreased to run length.";
  } catch (const EOutputStepNotMultiple& e) {
    settings.OutputStep = settings.TimeStep;
    text = e.Message() + " Output time step changed to current time step.";
  }
  CurrentPrompter().Message(MessageKind::kInformation, MessageButtons::kOk, text);
  return true;
}

}  // namespace kvsorv
