// Output-file throughput: writing a run's worth of lines, and reading them back as the
// output display does. 2000 lines of the full catalogue (155 columns, about 6.5 MB).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "files/output_file.h"
#include "program/global_tables.h"
#include "program/program_state.h"

namespace {

constexpr int kLines = 2000;

std::string ScratchFile() {
  return (std::filesystem::temp_directory_path() / "kvsorv-files-bench.out").string();
}

// The catalogue with values of every magnitude and sign in every column.
void PrepareModel() {
  kvsorv::ResetProgramState();
  std::mt19937_64 random(1);
  std::uniform_real_distribution<double> value(-1e4, 1e4);
  for (int i = 1; i <= kvsorv::ModelDef.numdrivers; ++i) kvsorv::Drivers[i].value = value(random);
  for (int i = 1; i <= kvsorv::ModelDef.numstate; ++i) kvsorv::States[i].value = value(random);
  for (int i = 1; i <= kvsorv::ModelDef.numprocess; ++i)
    kvsorv::Processes[i].value = value(random) * 1e-3;
}

void WriteFile(const std::string& path) {
  using namespace kvsorv;
  FileChannel channel("bench output");
  OpenOutputFile(channel, path, Drivers, ModelDef.numstate, States, ModelDef.numprocess, Processes,
                 true);
  for (int line = 0; line < kLines; ++line)
    WriteOutputLine(channel, Drivers, ModelDef.numstate, States, ModelDef.numprocess, Processes,
                    1600.0 + line);
  CloseOutputFile(channel);
}

void BM_WriteOutputFile(benchmark::State& state) {
  PrepareModel();
  const std::string path = ScratchFile();
  for (auto _ : state) WriteFile(path);
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteOutputFile)->Unit(benchmark::kMillisecond);

void BM_ReadOutputFile(benchmark::State& state) {
  using namespace kvsorv;
  PrepareModel();
  const std::string path = ScratchFile();
  WriteFile(path);
  drivearray drivers;
  statearray states;
  processarray processes;
  for (auto _ : state) {
    FileChannel channel("bench output");
    OpenOutputFile(channel, path, Drivers, ModelDef.numstate, States, ModelDef.numprocess,
                   Processes, false);
    double time = 0;
    int lines = 0;
    while (ReadOutputLine(channel, time, drivers, ModelDef.numstate, states, ModelDef.numprocess,
                          processes))
      ++lines;
    CloseOutputFile(channel);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadOutputFile)->Unit(benchmark::kMillisecond);

}  // namespace
