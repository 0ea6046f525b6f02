#pragma once
// The driver file (".drr"): two header lines (driver names, then units), then records of a
// time and one value per driver, numbers separated by blanks. A record with a time t >= 0
// is a step that takes effect at t; one with t < 0 is reached at |t| by a linear ramp from
// the record before it. The data end at the end of the file or at a record whose time and
// values are all 0.

#include <string>

#include "files/file_channel.h"
#include "model/driver_reader.h"
#include "model/records.h"

namespace kvsorv {

// The three driver-file channels: main (the chosen driver file, new driver files, a run's
// scratch file read back), base (a run's base driver file) and output (the driver files a
// run writes). Their readers are part of the program's state (program/driver_readers.h).
extern FileChannel MainDriverChannel;
extern FileChannel BaseDriverChannel;
extern FileChannel OutputDriverChannel;

inline constexpr const char* kMissingDriverFileMessage =
    "Cannot read driver file. File does not exist.";

// For reading: when the file does not exist, shows the error box "Cannot read driver file.
// File does not exist." and leaves the channel unopened (a later read then raises
// EInOutError kFileAccess naming the file); otherwise opens it and skips the two header
// lines. For writing: creates the file, or empties it, and writes the two header lines
// from the names and units of drivers 1..count and ModelDef.timeunit.
// Failures: EInOutError kFileAccess when an existing file cannot be opened, or the file
// cannot be created or written.
void OpenDriverFile(FileChannel& channel, const std::string& fileName, int count,
                    const drivearray& drivers, bool forWriting);

// Reads the next record: its time into `time` and `count` values into the `value` fields of
// `drivers`. Returns false, leaving both unchanged, at the end of the data.
// Failures: EInOutError kFileAccess when the channel is not open or the file cannot be read,
// kInvalidNumericInput at text that is not a number; the channel is closed then.
bool ReadDriverRecord(FileChannel& channel, double& time, int count, drivearray& drivers);

// Sets the `value` of drivers 1..ModelDef.numdrivers in `drivers` for time t (in years),
// reading the channel forward as far as needed: the values of the record that took effect
// last (steps), or interpolated towards the next record (ramps). Calls after a reset must
// come with times that never decrease. Once the data are exhausted the last record's
// values hold for every later time; the reader's next time is then 2 x stopTime.
// Failures: as ReadDriverRecord.
void GetDriverValues(FileChannel& channel, DriverReader& reader, drivearray& drivers, double t,
                     double stopTime);

// Appends one record: the time and the values of drivers 1..count, each as "%-20.13e"
// followed by a space, and CR LF. Failures: EInOutError kFileAccess when the channel is not
// open for writing or the file cannot be written; EOverflow or EInvalidOp for a value that
// is infinite or NaN.
void WriteDriverRecord(FileChannel& channel, double time, int count, const drivearray& drivers);

// Closes the channel. EInOutError kFileAccess when text still pending cannot be written.
void CloseDriverFile(FileChannel& channel);

// The drivers of a driver file at one time, as the parameter editor and the steady-state
// window look them up: opens the file on the main channel, resets the main reader, sets
// `drivers` with GetDriverValues at `time`, and closes the channel (on every path).
void LookupDriversAt(const std::string& fileName, drivearray& drivers, double time,
                     double stopTime);

}  // namespace kvsorv
