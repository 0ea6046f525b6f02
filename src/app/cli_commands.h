#pragma once
// The commands of kvsorv-cli. Each returns the process exit status and writes its results
// to stdout and its messages to stderr.

namespace kvsorv::cli {

// Every state, driver, parameter and process with index, symbol, name and units.
int Catalogue();

// One complete run: --params --drivers --output [--start --stop --step --output-step].
int Run(int argc, char** argv);

// Every process at one time: --params --drivers [--time --water-coefficient].
int Processes(int argc, char** argv);

// The steady-state calibration as the window does it: --params --drivers [--time
// --water-coefficient --set SYMBOL=VALUE ... --solves N --save FILE]. Exit status 0 when
// steady, 3 when not, 1 when the last solve failed or on a file or argument error.
int SteadyState(int argc, char** argv);

}  // namespace kvsorv::cli
