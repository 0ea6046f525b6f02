// Cost of one process evaluation and of one simulated year of integration.

#include <benchmark/benchmark.h>

#include "bench_site.h"
#include "model/model_equations.h"
#include "model/process_evaluation.h"
#include "ode/integrator.h"
#include "program/global_tables.h"
#include "program/program_equations.h"

namespace kvsorv {
namespace {

void BM_ComputeProcesses(benchmark::State& state) {
  bench::LoadExampleForest();
  statearray states = States;
  processarray processes = Processes;
  for (auto _ : state) {
    ComputeProcesses(Drivers, Params, states, processes, 0.0);
    benchmark::DoNotOptimize(processes[1].value);
  }
}
BENCHMARK(BM_ComputeProcesses);

void BM_ComputeDerivatives(benchmark::State& state) {
  bench::LoadExampleForest();
  // The driver-only terms worked out within each evaluation.
  ModelInputs in = PrepareDerivativeInputs(Drivers, Params, States, WaterCoefficient);
  in.terms.reset();
  StateVector y, dydt;
  for (int i = 1; i <= ModelDef.numstate; ++i) y[i] = States[i].value;
  for (auto _ : state) {
    ComputeDerivatives(in, y, dydt);
    benchmark::DoNotOptimize(dydt[1]);
  }
}
BENCHMARK(BM_ComputeDerivatives);

// The evaluation on the integrator's path: drivers, parameters and their terms prepared once,
// as for every evaluation within one integration interval.
void BM_DerivativesOnPreparedInputs(benchmark::State& state) {
  bench::LoadExampleForest();
  ModelInputs in = PrepareDerivativeInputs(Drivers, Params, States, WaterCoefficient);
  StateVector y, dydt;
  for (int i = 1; i <= ModelDef.numstate; ++i) y[i] = States[i].value;
  for (auto _ : state) {
    ComputeDerivatives(in, y, dydt);
    benchmark::DoNotOptimize(dydt[1]);
  }
}
BENCHMARK(BM_DerivativesOnPreparedInputs);

// One year from the forest's starting values, as a run calls it (tolerance 1e-8, first step
// the whole year). Far from steady state this stiff start needs hundreds of internal steps,
// so the minimum step is 0 here; the counters report the work done.
void BM_ODEIntegratorOneYear(benchmark::State& state) {
  bench::LoadExampleForest();
  StateVector start;
  for (int i = 1; i <= ModelDef.numstate; ++i) start[i] = States[i].value;
  int nok = 0, nbad = 0;
  for (auto _ : state) {
    StateVector y = start;
    ODEIntegrator(y, ModelDef.numstate, nok, 0.0, 1.0, 1e-8, 1.0, 0.0, nbad, Drivers, Params,
                  States, WaterCoefficient);
    benchmark::DoNotOptimize(y[1]);
  }
  state.counters["internal_steps"] = nok + nbad;
}
BENCHMARK(BM_ODEIntegratorOneYear)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kvsorv
