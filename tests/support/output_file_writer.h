#pragma once
// Writes an output file with the run's writer, holding chosen values: column c (0 time,
// then drivers, states, processes, as the output display numbers them) of record r.

#include <functional>
#include <string>
#include <vector>

#include "files/output_file.h"
#include "program/global_tables.h"

namespace kvsorv::testing {

// value(r, c) for columns 1 and up; the time of record r is times[r]. The global tables'
// values are put back afterwards.
inline void WriteOutputFile(const std::string& fileName, const std::vector<double>& times,
                            const std::function<double(int row, int column)>& value) {
  const drivearray drivers = Drivers;
  const statearray states = States;
  const processarray processes = Processes;
  const int d = ModelDef.numdrivers, s = ModelDef.numstate, p = ModelDef.numprocess;
  FileChannel channel("test output");
  OpenOutputFile(channel, fileName, Drivers, s, States, p, Processes, true);
  for (int r = 0; r < static_cast<int>(times.size()); ++r) {
    for (int i = 1; i <= d; ++i) Drivers[i].value = value(r, i);
    for (int i = 1; i <= s; ++i) States[i].value = value(r, d + i);
    for (int i = 1; i <= p; ++i) Processes[i].value = value(r, d + s + i);
    WriteOutputLine(channel, Drivers, s, States, p, Processes, times[static_cast<std::size_t>(r)]);
  }
  CloseOutputFile(channel);
  Drivers = drivers;
  States = states;
  Processes = processes;
}

}  // namespace kvsorv::testing
