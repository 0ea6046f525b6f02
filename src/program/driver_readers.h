#pragma once
// The readers of the main and base driver channels: where the chosen driver file and a
// run's base driver file have been read to. One instance each.

#include "model/driver_reader.h"

namespace kvsorv {

extern DriverReader MainDriverReader;
extern DriverReader BaseDriverReader;

}  // namespace kvsorv
