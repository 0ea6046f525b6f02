// Cost of one steady-state solve: five process evaluations, the closed-form derivation
// between them and the publication of the result, on the example forest with its
// observations entered. Each solve starts from the values the previous one left, as
// repeated solves in the window do.

#include <benchmark/benchmark.h>

#include "bench_site.h"
#include "model/model_indices.h"
#include "model/process_evaluation.h"
#include "program/global_tables.h"
#include "program/program_equations.h"
#include "steady_state/steady_state_solver.h"

namespace kvsorv {
namespace {

void LoadSolver(SteadyStateSolver& s) {
  bench::LoadExampleForest();
  s.SetWindowShown(true);
  s.LastSavedStates() = s.NewStates() = s.WorkStates() = States;
  s.LastSavedParams() = s.NewParams() = s.WorkParams() = Params;
  s.LastSavedDrivers() = s.NewDrivers() = s.WorkDrivers() = Drivers;
  ComputeProcesses(s.NewDrivers(), s.NewParams(), s.NewStates(), s.NewProcesses(), 0.0);
  s.LastSavedProcesses() = s.StartProcesses() = s.WorkProcesses() = s.NewProcesses();
  processarray& entered = s.WorkProcesses();
  entered[proc::NPPf].value = 200;
  entered[proc::NPPw].value = 250;
  entered[proc::NPPr].value = 150;
  entered[proc::Ps].value = 1200;
  entered[proc::Cst].value = 10500;
  entered[proc::Nst].value = 440;
}

void BM_SteadyStateSolve(benchmark::State& state) {
  SteadyStateSolver solver;
  LoadSolver(solver);
  for (auto _ : state) {
    solver.ClearFinalEvaluation();  // as the window does before every solve
    solver.CalculateSteadyState();
    benchmark::DoNotOptimize(solver.NewProcesses()[1].value);
  }
}
BENCHMARK(BM_SteadyStateSolve)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kvsorv
