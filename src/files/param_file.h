#pragma once
// The parameter file (".par"): a header naming the model and the file-format version, the
// initial value of every state and the value of every parameter, one per line in catalogue
// order, and a residual line. Lines are tied to quantities by position only.

#include <string>

#include "model/records.h"

namespace kvsorv {

// Reads the values of states 1..stateCount and parameters 1..paramCount into the `value`
// fields of the tables, and the residual. It only reads: it shows nothing and changes no
// program flag. Returns false, with nothing changed, when the header does not name the
// catalogue's model (spaces and letter case aside) and version. Values missing
// from a file that ends early read as 0.
// Failures: EInOutError kFileAccess when the file cannot be opened or read;
// EInOutError kInvalidNumericInput at text that is not a number (values read before it stay
// stored). Counts must lie within the tables' capacity. The file is closed on every path.
bool ReadParamValues(const std::string& fileName, int paramCount, paramarray& params,
                     int stateCount, statearray& states, double& residual);

// Writes the file from the tables: header, stateCount state lines, paramCount parameter
// lines and the residual line. A regular file is replaced only once the whole text is
// written (see TextWriter), so a failed write leaves any previous file as it was; a device or
// named pipe is written through. Failures: EInOutError kFileAccess when the file cannot be
// created, written or replaced, or exists and may not be written; EOverflow or EInvalidOp
// for a value that is infinite or NaN (nothing is written then). Changes no program flag.
void WriteParamFile(const std::string& fileName, int paramCount, const paramarray& params,
                    double residual, const statearray& states, int stateCount);

}  // namespace kvsorv
