// kvsorv-cli: the command-line front end of the simulator.

#include <CLI/CLI.hpp>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli_commands.h"
#include "ensemble/results_open.h"
#include "model/errors.h"
#include "program/program_state.h"
#include "program/prompter.h"

namespace {

constexpr const char* kProgram = "kvsorv-cli";

std::string Usage(const CLI::App& app) {
  return app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal);
}

// Help and version go to stdout (exit 0). A bad argument of a command is reported with the
// command's name (exit 1); no command, or one that does not exist, with the overall usage
// (exit 2).
int ReportParseError(const CLI::App& app, const CLI::ParseError& e, int argc, char** argv) {
  if (e.get_exit_code() == 0) return app.exit(e, std::cout, std::cerr);
  if (const auto chosen = app.get_subcommands(); !chosen.empty()) {
    const std::string command = std::string(kProgram) + " " + chosen.front()->get_name();
    std::cerr << command << ": " << e.what() << "\nRun '" << command << " --help' for its usage.\n";
    return 1;
  }
  if (argc >= 2) {
    const std::string_view first = argv[1];
    const bool option = first.size() > 1 && first.front() == '-';
    std::cerr << kProgram << ": unknown " << (option ? "option" : "command") << " '" << first
              << "'\n\n";
  }
  std::cerr << Usage(app);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  kvsorv::ensemble::LeaveFailedFilesAtExit();
  CLI::App app("Runs and calibrates the KVS ORV plant-soil model.", kProgram);
  app.set_version_flag("--version", std::string(kProgram) + " " + KVSORV_VERSION,
                       "Show the program's version and exit");
  app.require_subcommand(1);
  std::vector<std::pair<const CLI::App*, kvsorv::cli::CommandBody>> bodies;
  for (const kvsorv::cli::Command& c : kvsorv::cli::Commands()) {
    CLI::App* command = app.add_subcommand(c.name, c.description);
    command->footer(c.details);
    bodies.emplace_back(command, c.declare(*command));
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return ReportParseError(app, e, argc, argv);
  }

  const CLI::App* chosen = app.get_subcommands().front();
  static kvsorv::StderrPrompter prompter;
  kvsorv::InstallPrompter(&prompter);
  try {
    kvsorv::ResetProgramState(argv[0]);
    for (const auto& [command, body] : bodies)
      if (command == chosen) return body();
    return 2;
  } catch (const std::invalid_argument& e) {
    std::cerr << kProgram << " " << chosen->get_name() << ": " << e.what() << '\n';
    return 1;
  } catch (const kvsorv::Exception& e) {
    std::cerr << e.Message() << '\n';
    return 1;
  } catch (const std::exception& e) {  // such as a plan that cannot be used
    std::cerr << e.what() << '\n';
    return 1;
  }
}
