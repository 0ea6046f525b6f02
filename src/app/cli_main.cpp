// kvsorv-cli: the command-line front end of the simulator.

#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/cli_commands.h"
#include "model/errors.h"
#include "program/program_state.h"
#include "program/prompter.h"

namespace {

constexpr const char* kUsage =
    "usage: kvsorv-cli COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  catalogue   list every state, driver, parameter and process with its symbol,\n"
    "              name and units\n"
    "  run         --params FILE --drivers FILE --output FILE [--start N] [--stop N]\n"
    "              [--step X] [--output-step X]\n"
    "              run the model and write the output file and the next cell's drivers\n"
    "  processes   --params FILE --drivers FILE [--time T] [--water-coefficient G]\n"
    "              evaluate every process once, with the drivers at time T\n"
    "  steady-state --params FILE --drivers FILE [--time T] [--water-coefficient G]\n"
    "              [--set SYMBOL=VALUE]... [--solves N] [--save FILE]\n"
    "              calibrate to steady state as the steady-state window does: each --set\n"
    "              is one committed entry (one solve); then N more solves\n"
    "  help        show this text\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  static kvsorv::StderrPrompter prompter;
  kvsorv::InstallPrompter(&prompter);
  const std::string_view command = argv[1];
  try {
    kvsorv::ResetProgramState(argv[0]);
    if (command == "catalogue") return kvsorv::cli::Catalogue();
    if (command == "run") return kvsorv::cli::Run(argc, argv);
    if (command == "processes") return kvsorv::cli::Processes(argc, argv);
    if (command == "steady-state") return kvsorv::cli::SteadyState(argc, argv);
    if (command == "help" || command == "--help" || command == "-h") {
      std::cout << kUsage;
      return 0;
    }
    std::cerr << "kvsorv-cli: unknown command '" << command << "'\n\n" << kUsage;
    return 2;
  } catch (const std::invalid_argument& e) {
    std::cerr << "kvsorv-cli " << command << ": " << e.what() << '\n';
    return 1;
  } catch (const kvsorv::Exception& e) {
    std::cerr << e.Message() << '\n';
    return 1;
  }
}
