// kvsorv-cli processes: every process evaluated once.

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_support.h"
#include "files/driver_file.h"
#include "model/globals.h"
#include "model/process_evaluation.h"
#include "program/run_settings.h"

namespace kvsorv::cli {

namespace {

struct ProcessesOptions {
  std::string params;
  std::string drivers;
  std::optional<double> time;
  std::optional<double> waterCoefficient;
};

int Processes(const ProcessesOptions& o) {
  const double time = o.time.value_or(RunSettings.SteadyStateTime);
  WaterCoefficient = o.waterCoefficient.value_or(0.0);

  if (!LoadParameters(o.params)) return 1;
  LookupDriversAt(o.drivers, Drivers, time, RunSettings.StopTime);
  ComputeProcesses(Drivers, Params, States, kvsorv::Processes, time);
  for (int k = 1; k <= ModelDef.numprocess; ++k) {
    const auto& p = kvsorv::Processes[k];
    std::cout << k << '\t' << p.symbol << '\t' << Exact(p.value) << '\t' << p.units << '\n';
  }
  return 0;
}

}  // namespace

CommandBody DeclareProcesses(CLI::App& command) {
  auto o = std::make_shared<ProcessesOptions>();
  AddRequiredText(command, "--params", "FILE", o->params, "Parameter file");
  AddRequiredText(command, "--drivers", "FILE", o->drivers, "Driver file");
  AddNumber(command, "--time", "T", o->time,
            "Time (year) at which the drivers are read, " + Exact(TRunSettings{}.SteadyStateTime) +
                " unless given");
  AddNumber(command, "--water-coefficient", "G", o->waterCoefficient,
            "Water coefficient, 0 unless given");
  return [o] { return Processes(*o); };
}

}  // namespace kvsorv::cli
