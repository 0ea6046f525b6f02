#pragma once
// The global model tables and the shared values the equations read. One instance each,
// living for the whole program; whole-table copies move values in and out of them.

#include "model/records.h"

namespace kvsorv {

extern TModelDef ModelDef;
extern statearray States;
extern drivearray Drivers;
extern paramarray Params;
extern processarray Processes;

// The water coefficient G of the soil-water equations: 0 until the first run sets it to 10.
extern double WaterCoefficient;

// Number of parameter slots used by the processes before process k: the sum of paramcount
// over processes numstate+1 .. k-1 of the global Processes table. 0 for k <= numstate + 1.
int GetParamOffset(int k);

// Writes the catalogue's name, units, symbol, paramcount and flag fields into States, Drivers,
// Params and Processes, and its definition into ModelDef. Never writes a value or a
// HoldConstant flag. Called once at start-up.
void BuildModelCatalogue();

}  // namespace kvsorv
