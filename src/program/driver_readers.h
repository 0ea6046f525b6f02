#pragma once
// The main driver channel and the readers of the main and base driver files: where the chosen
// driver file and a run's base driver file have been read to. One instance each.

#include "files/driver_reader.h"
#include "files/file_channel.h"

namespace kvsorv {

// The chosen driver file as the editors look drivers up in it, and new driver files.
extern FileChannel MainDriverChannel;

extern DriverReader MainDriverReader;
extern DriverReader BaseDriverReader;

}  // namespace kvsorv
