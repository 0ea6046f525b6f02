#pragma once
// A run's results written to files: output lines to an output file, the next cell's records
// to a driver file (when one is given).

#include "files/file_channel.h"
#include "run/model_run.h"

namespace kvsorv {

class FileRunSink : public RunSink {
 public:
  FileRunSink(FileChannel& output, FileChannel* nextCellRecords)
      : output_(output), nextCellRecords_(nextCellRecords) {}

  // Failures: those of WriteOutputLine and WriteDriverRecord.
  void OutputLine(double time, const drivearray& drivers, const statearray& states,
                  const processarray& processes) override;
  void NextCellRecord(double time, const drivearray& drivers) override;

 private:
  FileChannel& output_;
  FileChannel* nextCellRecords_;
};

}  // namespace kvsorv
