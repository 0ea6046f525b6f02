#pragma once
// Writes the model's fixed vocabulary into the global tables.

namespace kvsorv {

// Fills ModelDef and the name, units, symbol, paramcount and flag fields of States, Drivers,
// Params and Processes. Never writes a value or a HoldConstant flag. Called once at start-up.
void BuildModelCatalogue();

}  // namespace kvsorv
