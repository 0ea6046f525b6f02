#include "auxiliary/auxiliary_windows.h"

#include "files/number_text.h"
#include "program/global_tables.h"
#include "program/run_settings.h"

namespace kvsorv {

std::string AboutContactText() {
  return "For more information contact:\n"
         "Kestrin Ecosystem Modelling Laboratory\n"
         "Plant and soil carbon and nitrogen group";
}

ProgressWindowTexts ProgressTexts() {
  return {ModelDef.modelname + " run progress.", FormatGeneral(RunSettings.StartTime, 15),
          FormatGeneral(RunSettings.StopTime, 15)};
}

AboutWindowTexts AboutTexts() {
  return {ModelDef.modelname, "Version " + ModelDef.versionname};
}

}  // namespace kvsorv
