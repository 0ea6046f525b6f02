#pragma once
// A realistic model state for benchmarks: the example forest's starting values written into
// the global tables after the catalogue is built.

namespace kvsorv::bench {

void LoadExampleForest();

}  // namespace kvsorv::bench
