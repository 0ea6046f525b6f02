#include "reader_harness.h"

#include <fstream>

#include "files/driver_file.h"
#include "files/output_file.h"
#include "files/param_file.h"
#include "model/errors.h"
#include "program/global_tables.h"

namespace kvsorv::fuzzing {

namespace {

void WriteScratch(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

void ReadParamFileBytes(const std::string& scratchPath, std::string_view bytes) {
  WriteScratch(scratchPath, bytes);
  paramarray params;
  statearray states;
  double residual = 0;
  try {
    ReadParamValues(scratchPath, ModelDef.numparam, params, ModelDef.numstate, states, residual);
  } catch (const Exception&) {
  }
}

void ReadDriverFileBytes(const std::string& scratchPath, std::string_view bytes) {
  WriteScratch(scratchPath, bytes);
  const drivearray empty;
  try {
    FileChannel channel("fuzz driver");
    OpenDriverFile(channel, scratchPath, ModelDef.numdrivers, empty, false);
    drivearray record;
    double time = 0;
    while (ReadDriverRecord(channel, time, ModelDef.numdrivers, record)) {
    }
    CloseDriverFile(channel);
  } catch (const Exception&) {
  }
  try {
    FileChannel channel("fuzz driver");
    DriverReader reader;
    drivearray drivers;
    OpenDriverFile(channel, scratchPath, ModelDef.numdrivers, empty, false);
    constexpr double kStopTime = 2.0;
    for (const double t : {0.0, 0.5, 1.0, 2.0, 3.5, 4.0, 100.0, 1e300})
      GetDriverValues(channel, reader, drivers, t, kStopTime);
  } catch (const Exception&) {
  }
}

void ReadOutputFileBytes(const std::string& scratchPath, std::string_view bytes) {
  WriteScratch(scratchPath, bytes);
  const drivearray noDrivers;
  const statearray noStates;
  const processarray noProcesses;
  try {
    FileChannel channel("fuzz output");
    OpenOutputFile(channel, scratchPath, noDrivers, ModelDef.numstate, noStates,
                   ModelDef.numprocess, noProcesses, false);
    double time = 0;
    drivearray drivers;
    statearray states;
    processarray processes;
    while (ReadOutputLine(channel, time, drivers, ModelDef.numstate, states, ModelDef.numprocess,
                          processes)) {
    }
    CloseOutputFile(channel);
  } catch (const Exception&) {
  }
}

}  // namespace kvsorv::fuzzing
