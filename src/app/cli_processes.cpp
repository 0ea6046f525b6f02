// kvsorv-cli processes: every process evaluated once.

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_support.h"
#include "files/driver_file.h"
#include "model/process_evaluation.h"
#include "program/global_tables.h"
#include "program/program_equations.h"
#include "program/program_files.h"
#include "program/run_settings.h"

namespace kvsorv::cli {

namespace {

struct ProcessesOptions {
  SiteOptions site;
};

int Processes(const ProcessesOptions& o) {
  const double time = o.site.time.value_or(RunSettings.SteadyStateTime);
  WaterCoefficient = o.site.waterCoefficient.value_or(0.0);

  if (!LoadParameters(o.site.params)) return 1;
  LookupDriversAt(o.site.drivers, Drivers, time, RunSettings.StopTime);
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
  AddSiteOptions(command, o->site);
  return [o] { return Processes(*o); };
}

}  // namespace kvsorv::cli
