#pragma once
// What reading the parameter and driver files means for the program: the unsaved-parameters
// flag, the boxes that tell the user of an incompatible or missing file, and the main driver
// reader. The file readers themselves (files/) only read.

#include <string>

#include "files/driver_series.h"
#include "files/file_channel.h"
#include "model/records.h"

namespace kvsorv {

inline constexpr const char* kIncompatibleParamFileMessage =
    "The parameter file selected is not compatible with this model. No parameters read.";

// The program's reading of a parameter file (File > Open, reload): clears
// RunSettings.ParamsModified first, whatever follows, then ReadParamValues; a file of
// another model or version shows the error box kIncompatibleParamFileMessage and gives false.
// Failures: those of ReadParamValues.
bool ReadParamFile(const std::string& fileName, int paramCount, paramarray& params, int stateCount,
                   statearray& states, double& residual);

// OpenDriverFile for reading, showing the error box kMissingDriverFileMessage when the file
// does not exist (the channel is then left unopened). Failures: those of OpenDriverFile.
void OpenDriverFileForReading(FileChannel& channel, const std::string& fileName, int count,
                              const drivearray& drivers);

// For the program's commands that read a series: shows the error box kMissingDriverFileMessage
// when the series' file was missing.
void ReportMissingDriverFile(const DriverSeries& series);

// The drivers of a driver file at one time, as the parameter editor and the steady-state
// window look them up: opens the file on the main channel (telling of a missing file),
// resets the main reader, sets `drivers` with GetDriverValues at `time`, and closes the
// channel (on every path). Failures: those of GetDriverValues.
void LookupDriversAt(const std::string& fileName, drivearray& drivers, double time,
                     double stopTime);

}  // namespace kvsorv
