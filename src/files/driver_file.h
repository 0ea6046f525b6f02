#pragma once
// The driver file (".drr"): two header lines (driver names, then units), then records of a
// time and one value per driver, numbers separated by blanks. A record with a time t >= 0
// is a step that takes effect at t; one with t < 0 is reached at |t| by a linear ramp from
// the record before it. The data end at the end of the file or at a record whose time and
// values are all 0.

#include <string>

#include "files/driver_reader.h"
#include "files/file_channel.h"
#include "model/records.h"

namespace kvsorv {

inline constexpr const char* kMissingDriverFileMessage =
    "Cannot read driver file. File does not exist.";

// For reading: when the file does not exist, leaves the channel unopened (a later read then
// raises EInOutError kFileAccess naming the file) and returns false, so that the caller can
// tell the user kMissingDriverFileMessage; otherwise opens it and skips the two header lines. For
// writing: creates the file, or empties it, and writes the two header lines from the names and
// units of drivers 1..count and the catalogue's time unit. Returns true once the file is open.
// Failures: EInOutError kFileAccess when an existing file cannot be opened, or the file
// cannot be created or written.
bool OpenDriverFile(FileChannel& channel, const std::string& fileName, int count,
                    const drivearray& drivers, bool forWriting);

// Reads the next record: its time into `time` and `count` values into the `value` fields of
// `drivers`. Returns false, leaving both unchanged, at the end of the data.
// Failures: EInOutError kFileAccess when the channel is not open or the file cannot be read,
// kInvalidNumericInput at text that is not a number; the channel is closed then.
bool ReadDriverRecord(FileChannel& channel, double& time, int count, drivearray& drivers);

// Sets the `value` of drivers 1..numdrivers of the catalogue in `drivers` for time t (in years),
// reading the channel forward as far as needed: the values of the record that took effect
// last (steps), or interpolated towards the next record (ramps). Calls after a reset must
// come with times that never decrease. Once the data are exhausted the last record's
// values hold for every later time; the reader's next time is then 2 x stopTime.
// Failures: as ReadDriverRecord.
void GetDriverValues(FileChannel& channel, DriverReader& reader, drivearray& drivers, double t,
                     double stopTime);

// Appends one record: the time and the values of drivers 1..count, each left-aligned in 20
// characters as AppendScientific13 writes it and followed by a space, and CR LF. Failures:
// EInOutError kFileAccess when the channel is not open for writing or the file cannot be written;
// EOverflow or EInvalidOp for a value that is infinite or NaN.
void WriteDriverRecord(FileChannel& channel, double time, int count, const drivearray& drivers);

// Closes the channel. EInOutError kFileAccess when text still pending cannot be written.
void CloseDriverFile(FileChannel& channel);

}  // namespace kvsorv
