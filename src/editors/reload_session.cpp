#include "editors/reload_session.h"

#include "program/program_files.h"

#include "files/param_file.h"
#include "model/errors.h"
#include "program/change_notifier.h"
#include "program/global_tables.h"
#include "program/prompter.h"
#include "program/run_settings.h"

namespace kvsorv {

bool ReloadSession::Reload() {
  TRunSettings& s = RunSettings;
  const bool wasModified = s.ParamsModified;
  paramarray params = Params;
  statearray states = States;
  double residual = 0.0;
  bool read = false;
  try {
    read = ReadParamFile(s.ParamFileName, ModelDef.numparam, params, ModelDef.numstate, states,
                         residual);
  } catch (const Exception& e) {
    CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk, e.Message());
  }
  if (!read) {
    s.ParamsModified = wasModified;
    return false;
  }

  if (choice_.params)
    for (int i = 1; i <= ModelDef.numparam; ++i) Params[i].value = params[i].value;
  if (choice_.states)
    for (int i = 1; i <= ModelDef.numstate; ++i) States[i].value = states[i].value;
  s.ParamsModified = choice_.params && choice_.states ? false : wasModified;
  if (choice_.params || choice_.states)
    TableChanges().Notify({.states = choice_.states, .parameters = choice_.params});
  return true;
}

}  // namespace kvsorv
