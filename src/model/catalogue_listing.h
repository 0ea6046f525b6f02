#pragma once
// Plain-text listing of the model catalogue.

#include <string>

namespace kvsorv {

// Four tables (States, Drivers, Parameters, Processes), each headed by a line naming it,
// then one line per quantity: index, symbol, name and units separated by tabs.
std::string FormatCatalogueListing();

}  // namespace kvsorv
