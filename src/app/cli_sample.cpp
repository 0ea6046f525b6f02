// kvsorv-cli sample: the design matrix of an ensemble plan.

#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_outputs.h"
#include "ensemble/design_file.h"
#include "ensemble/plan.h"
#include "ensemble/results_guard.h"
#include "ensemble/sampling.h"

namespace kvsorv::cli {

namespace {

struct SampleOptions {
  std::string plan;
  std::string method = "mc";
  std::optional<double> members;
  std::string output;
};

int Sample(const SampleOptions& o) {
  const auto method = ensemble::MethodNamed(o.method);
  if (!method) throw std::invalid_argument("--method must be mc, lhs, sobol, morris or oat");
  ensemble::EnsemblePlan plan = ensemble::ReadPlan(o.plan);
  RefuseInputAsOutput("-o", {o.output}, ensemble::InputFilesOf(plan));
  ensemble::RequireOutputs(plan);
  // One plan serves several designs: a Sobol design needs far fewer base points than an
  // uncertainty ensemble needs members.
  if (o.members) {
    if (!(*o.members >= 1 && *o.members <= 1e7 && *o.members == std::floor(*o.members)))
      throw std::invalid_argument("--members must be a whole number from 1 to 10000000");
    plan.members = static_cast<int>(*o.members);
  }
  const ensemble::Design design = ensemble::SampleDesign(plan, *method);
  if (!plan.correlations.empty() && *method != ensemble::Method::kMonteCarlo &&
      *method != ensemble::Method::kLatinHypercube)
    std::cerr << "note: the plan's rank correlations shape Monte Carlo and Latin hypercube "
                 "designs only; the "
              << o.method << " design leaves them out\n";
  ensemble::WriteDesign(o.output, design);
  std::cerr << design.rows.size() << " members of " << design.symbols.size()
            << " parameters written to " << o.output << '\n';
  return 0;
}

}  // namespace

CommandBody DeclareSample(CLI::App& command) {
  auto o = std::make_shared<SampleOptions>();
  NotEmpty(command.add_option("plan", o->plan, "The ensemble plan (TOML)"))
      ->required()
      ->type_name("PLAN");
  command.add_option("--method", o->method, "mc, lhs, sobol, morris or oat; mc unless given")
      ->type_name("METHOD");
  AddNumber(command, "--members", "N", o->members,
            "Members (base points for sobol, trajectories for morris); the plan's unless given");
  AddRequiredText(command, "-o,--output", "FILE", o->output, "Design file to write (CSV)");
  return [o] { return Sample(*o); };
}

}  // namespace kvsorv::cli
