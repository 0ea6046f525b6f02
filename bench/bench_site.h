#pragma once
// A realistic model state for benchmarks: the example forest's starting parameter file and
// its drivers at year 0, in the global tables, with the water coefficient of a run.

namespace kvsorv::bench {

void LoadExampleForest();

}  // namespace kvsorv::bench
