#include "program_run/output_step.h"

#include <cmath>
#include <string>

#include "model/errors.h"
#include "program/prompter.h"

namespace kvsorv {

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
