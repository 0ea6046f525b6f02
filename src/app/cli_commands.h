#pragma once
// The commands of kvsorv-cli. Each declares its options on its own subcommand of the parser
// and returns the body that runs it from the parsed values. A body returns the exit status
// and writes results to stdout and messages to stderr; it may raise std::invalid_argument for
// values that do not go together, and the model's exceptions.

#include <CLI/CLI.hpp>
#include <functional>
#include <span>

namespace kvsorv::cli {

using CommandBody = std::function<int()>;

struct Command {
  const char* name;
  const char* description;  // one line, listed in the overall usage
  const char* details;      // closes the command's own usage; may be empty
  // Declares the options on `command` and returns the body, which reads them once parsed.
  CommandBody (*declare)(CLI::App& command);
};

// Every command, in the order the usage lists them.
std::span<const Command> Commands();

}  // namespace kvsorv::cli
