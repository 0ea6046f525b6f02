#include "program/global_tables.h"

#include "model/catalogue.h"

namespace kvsorv {

TModelDef ModelDef;
statearray States;
drivearray Drivers;
paramarray Params;
processarray Processes;

double WaterCoefficient = 0.0;

int GetParamOffset(int k) {
  int offset = 0;
  for (int j = ModelDef.numstate + 1; j < k; ++j) offset += Processes[j].paramcount;
  return offset;
}

namespace {

template <typename Table>
void CopyVocabulary(Table& into, const Table& from, int count) {
  for (int i = 1; i <= count; ++i) {
    into[i].name = from[i].name;
    into[i].units = from[i].units;
    into[i].symbol = from[i].symbol;
  }
}

}  // namespace

void BuildModelCatalogue() {
  const ModelCatalogue& c = Catalogue();
  ModelDef = c.def;
  CopyVocabulary(States, c.states, c.def.numstate);
  CopyVocabulary(Drivers, c.drivers, c.def.numdrivers);
  CopyVocabulary(Params, c.params, c.def.numparam);
  CopyVocabulary(Processes, c.processes, c.def.numprocess);
  for (int k = 1; k <= c.def.numprocess; ++k) {
    Processes[k].paramcount = c.processes[k].paramcount;
    Processes[k].flag = c.processes[k].flag;
  }
}

}  // namespace kvsorv
