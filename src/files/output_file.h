#pragma once
// The output file (".out"): two header lines (column names, then units) and one data line
// per output time, holding the time, every driver, every state and every process. Each
// field is 20 characters and a space: headers "%20.20s", the time "%20g", values right-aligned
// in 13 significant digits with a three-digit exponent ("1.600000000000E+003", see
// AppendScientific13). Lines end with CR LF. Readers ignore the widths and read blank-separated
// numbers.

#include <string>

#include "files/file_channel.h"
#include "model/records.h"

namespace kvsorv {

// For writing: creates the file, or empties it, and writes the two header lines: "Time" and
// the catalogue's time unit, then the name and units of drivers 1..numdrivers, states
// 1..stateCount and processes 1..processCount. For reading: opens the file and skips the two
// header lines (the tables are not used). Failures: EInOutError kFileAccess when the file
// cannot be opened, created or written; the channel is then left closed.
void OpenOutputFile(FileChannel& channel, const std::string& fileName, const drivearray& drivers,
                    int stateCount, const statearray& states, int processCount,
                    const processarray& processes, bool forWriting);

// Appends one data line: the time (in years) and the values of the drivers, states and
// processes. Failures: EInOutError kFileAccess when the channel is not open for writing or
// the file cannot be written (the channel is closed then); EOverflow or EInvalidOp for an
// infinite or NaN value (nothing is written).
void WriteOutputLine(FileChannel& channel, const drivearray& drivers, int stateCount,
                     const statearray& states, int processCount, const processarray& processes,
                     double time);

// Reads the next data line into `time` and the `value` fields of the tables, then skips
// the rest of the line. Returns false when nothing but blanks is left. A line cut short
// takes its missing numbers from the next line; at the end of the file they read as 0.
// Failures: EInOutError kFileAccess when the channel is not open or the file cannot be
// read, kInvalidNumericInput at text that is not a number; the channel is closed then.
// ReadOutputLine for readers that keep whole records only (the output display, `table`,
// `plot`): a data line must hold every value and end with its line end; in a file whose
// first line has the written width (21 characters a value), every record has that width
// and no blank line stands among them. Failures: those of ReadOutputLine, and EInOutError
// kInvalidNumericInput naming the file and the line of a record cut short ("holds 12 of its
// 155 values", "is cut off before its line end", "is 3236 characters long, the file's lines
// 3255") or missing ("blank where a record belongs"); the channel is closed then.
bool ReadWholeOutputLine(FileChannel& channel, double& time, drivearray& drivers, int stateCount,
                         statearray& states, int processCount, processarray& processes);

bool ReadOutputLine(FileChannel& channel, double& time, drivearray& drivers, int stateCount,
                    statearray& states, int processCount, processarray& processes);

// Closes the channel. EInOutError kFileAccess when text still pending cannot be written.
void CloseOutputFile(FileChannel& channel);

}  // namespace kvsorv
