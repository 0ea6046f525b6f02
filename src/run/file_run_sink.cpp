#include "run/file_run_sink.h"

#include "files/driver_file.h"
#include "files/output_file.h"
#include "model/catalogue.h"

namespace kvsorv {

void FileRunSink::OutputLine(double time, const drivearray& drivers, const statearray& states,
                             const processarray& processes) {
  WriteOutputLine(output_, drivers, Catalogue().def.numstate, states, Catalogue().def.numprocess,
                  processes, time);
}

void FileRunSink::NextCellRecord(double time, const drivearray& drivers) {
  if (nextCellRecords_ != nullptr)
    WriteDriverRecord(*nextCellRecords_, time, Catalogue().def.numdrivers, drivers);
}

}  // namespace kvsorv
