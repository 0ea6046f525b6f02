// kvsorv-cli chain: a chain of cells, each on the drivers the one before hands on, in memory.

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_outputs.h"
#include "app/cli_support.h"
#include "files/driver_series.h"
#include "files/output_file.h"
#include "program/global_tables.h"
#include "program/program_files.h"
#include "program/run_settings.h"
#include "program_run/output_step.h"
#include "program_run/simulation_run.h"
#include "run/cell_chain.h"
#include "run/file_run_sink.h"
#include "program_run/output_step.h"
#include "program_run/simulation_run.h"
#include "tasks/feedback.h"

namespace kvsorv::cli {

namespace {

struct ChainOptions {
  std::string params;
  std::string drivers;
  std::optional<double> cells;
  std::string outputDirectory;
  RunTimeOptions times;
};

// Each cell's output file, "cell<N>.out" in the output directory, opened when the cell starts.
class CellOutputFiles {
 public:
  CellOutputFiles(std::filesystem::path directory, RunObserver& observer)
      : directory_(std::move(directory)), observer_(observer) {}

  RunSink& Start(int cell) {
    Finish();
    const std::string name = (directory_ / ("cell" + std::to_string(cell) + ".out")).string();
    OpenOutputFile(channel_, name, Drivers, ModelDef.numstate, States, ModelDef.numprocess,
                   Processes, true);
    sink_ = std::make_unique<FileRunSink>(channel_, nullptr);
    return *sink_;
  }
  // Writes what the last cell left pending and reports its file.
  void Finish() {
    if (!channel_.IsOpen()) return;
    const std::string name = channel_.FileName();
    CloseOutputFile(channel_);
    observer_.RunCompleted();
    std::cerr << "Output written to " << name << '\n';
  }

 private:
  std::filesystem::path directory_;
  RunObserver& observer_;
  FileChannel channel_{"output"};
  std::unique_ptr<FileRunSink> sink_;
};

// No cell's output file is the parameter file, the base driver file or that cell's driver
// file, by whatever name.
void RefuseOverwritingInputs(const ChainOptions& o, int firstCell, int cells) {
  std::string driverFile = o.drivers;
  const std::string base = DirectoryOf(o.drivers) + kBaseDriverFile;
  for (int c = 0; c < cells; ++c) {
    const std::string output = (std::filesystem::path(o.outputDirectory) /
                                ("cell" + std::to_string(firstCell + c) + ".out"))
                                   .string();
    RefuseInputAsOutput("--output-dir", {output}, {o.params, base, driverFile});
    driverFile = GetNextDriverFilename(driverFile).nextDriverFileName;
  }
}

int Chain(const ChainOptions& o) {
  TRunSettings& s = RunSettings;
  ApplyRunTimes(o.times);
  const double cells = o.cells.value_or(1.0);
  if (!(cells >= 1 && cells <= 100000) || cells != static_cast<int>(cells))
    throw std::invalid_argument("--cells must be a whole number from 1 to 100000");
  RefuseOverwritingInputs(o, GetNextDriverFilename(o.drivers).cellNumber, static_cast<int>(cells));
  if (!LoadParameters(o.params)) return 1;
  RepairOutputStep(s);

  RunInputs first = RunInputsOfProgram();
  ReadCellDrivers(first, o.drivers);
  ReportMissingDriverFile(*first.mainDrivers);
  ReportMissingDriverFile(*first.baseDrivers);
  RequireDriverRecords(*first.mainDrivers, o.drivers);
  std::filesystem::create_directories(o.outputDirectory);

  TerminalRunObserver observer;
  CellOutputFiles outputs(o.outputDirectory, observer);
  // Each cell's own bar: the chain's progress counts 100 per cell.
  Feedback feedback;
  std::size_t position = 0;  // of the cell running, in the chain
  feedback.OnProgress([&](const FeedbackProgress& p) {
    observer.ProgressChanged(static_cast<int>(p.done - 100 * position));
  });
  const auto outcomes = RunCellChain(
      first, static_cast<int>(cells),
      [&](int cell) -> RunSink& {
        position = static_cast<std::size_t>(cell - first.cellNumber);
        return outputs.Start(cell);
      },
      &feedback);
  outputs.Finish();
  if (outcomes.back().failure) {
    std::cerr << "cell " << first.cellNumber + static_cast<int>(outcomes.size()) - 1 << ": "
              << outcomes.back().failureMessage << '\n';
    return 1;
  }
  return 0;
}

}  // namespace

CommandBody DeclareChain(CLI::App& command) {
  auto o = std::make_shared<ChainOptions>();
  AddRequiredText(command, "--params", "FILE", o->params, "Parameter file of every cell");
  AddRequiredText(command, "--drivers", "FILE", o->drivers,
                  "Driver file of the first cell, cell<N>.drr");
  AddNumber(command, "--cells", "N", o->cells, "How many cells to run, 1 unless given");
  AddRequiredText(command, "--output-dir", "DIR", o->outputDirectory,
                  "Directory for the cells' output files, cell<N>.out");
  AddRunTimeOptions(command, o->times);
  return [o] { return Chain(*o); };
}

}  // namespace kvsorv::cli
