#include "program/program_files.h"

#include "files/driver_file.h"
#include "files/param_file.h"
#include "program/driver_readers.h"
#include "program/global_tables.h"
#include "program/prompter.h"
#include "program/run_settings.h"

namespace kvsorv {

namespace {

void TellMissingDriverFile() {
  CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk, kMissingDriverFileMessage);
}

}  // namespace

bool ReadParamFile(const std::string& fileName, int paramCount, paramarray& params, int stateCount,
                   statearray& states, double& residual) {
  // Cleared before the file is even opened, so also when it is rejected or unreadable.
  RunSettings.ParamsModified = false;
  if (ReadParamValues(fileName, paramCount, params, stateCount, states, residual)) return true;
  CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk,
                            kIncompatibleParamFileMessage);
  return false;
}

void OpenDriverFileForReading(FileChannel& channel, const std::string& fileName, int count,
                              const drivearray& drivers) {
  if (!OpenDriverFile(channel, fileName, count, drivers, false)) TellMissingDriverFile();
}

void ReportMissingDriverFile(const DriverSeries& series) {
  if (series.fileMissing) TellMissingDriverFile();
}

void LookupDriversAt(const std::string& fileName, drivearray& drivers, double time,
                     double stopTime) {
  struct CloseOnExit {
    ~CloseOnExit() { MainDriverChannel.Abandon(); }
  } closeOnExit;
  OpenDriverFileForReading(MainDriverChannel, fileName, ModelDef.numdrivers, drivers);
  MainDriverReader.Reset();
  GetDriverValues(MainDriverChannel, MainDriverReader, drivers, time, stopTime);
  CloseDriverFile(MainDriverChannel);
}

}  // namespace kvsorv
