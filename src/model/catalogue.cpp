#include "model/catalogue.h"

#include <string>

#include "model/catalogue_tables.h"
#include "model/globals.h"

namespace kvsorv {

void BuildModelCatalogue() {
  ModelDef.modelname = "KVS ORV";
  ModelDef.versionname = "3.3.6.5d";
  ModelDef.timeunit = "year";
  ModelDef.numstate = static_cast<int>(catalogue::kStates.size());

  for (int i = 1; i <= ModelDef.numstate; ++i) {
    const auto& e = catalogue::kStates[i - 1];
    States[i].name = e.name;
    States[i].units = e.units;
    States[i].symbol = e.symbol;
  }

  ModelDef.numprocess = ModelDef.numstate + static_cast<int>(catalogue::kFurtherProcesses.size());

  // Rates of change, named after their state without any blank inserted.
  for (int i = 1; i <= ModelDef.numstate; ++i) {
    Processes[i].name = "d" + States[i].name + "dt";
    Processes[i].units = States[i].units + "t-1";
    Processes[i].symbol = "d" + States[i].symbol + "dt";
    Processes[i].paramcount = 0;
    Processes[i].flag = false;
  }

  // Further processes; each one's parameters land right after those already placed,
  // because GetParamOffset sums the paramcounts written so far.
  int nextParam = 0;
  for (int k = ModelDef.numstate + 1; k <= ModelDef.numprocess; ++k) {
    const auto& e = catalogue::kFurtherProcesses[k - ModelDef.numstate - 1];
    Processes[k].name = e.name;
    Processes[k].units = e.units;
    Processes[k].symbol = e.symbol;
    Processes[k].paramcount = e.paramcount;
    Processes[k].flag = false;
    const int offset = GetParamOffset(k);
    for (int q = 1; q <= e.paramcount; ++q) {
      const auto& p = catalogue::kParams[nextParam++];
      Params[offset + q].name = p.name;
      Params[offset + q].units = p.units;
      Params[offset + q].symbol = p.symbol;
    }
  }

  ModelDef.numparam = 0;
  for (int k = 1; k <= ModelDef.numprocess; ++k) ModelDef.numparam += Processes[k].paramcount;

  ModelDef.numdrivers = static_cast<int>(catalogue::kDrivers.size());
  for (int i = 1; i <= ModelDef.numdrivers; ++i) {
    const auto& e = catalogue::kDrivers[i - 1];
    Drivers[i].name = e.name;
    Drivers[i].units = e.units;
    Drivers[i].symbol = e.symbol;
  }
}

}  // namespace kvsorv
