#pragma once
// Options of the two programs' command lines, declared on CLI11: "--name value" and
// "--name=value" both work; a repeated option keeps its last value unless it collects them.

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

namespace kvsorv::cli {

// The option refuses an empty value ("the name is empty"): it names no file. The text
// options below do so already; for positional file names.
CLI::Option* NotEmpty(CLI::Option* option);

// "--name VALUE" (`valueName` as the usage shows it), stored in `target` when given.
CLI::Option* AddText(CLI::App& command, const std::string& name, const std::string& valueName,
                     std::optional<std::string>& target, const std::string& help);

// "--name VALUE" that must be given.
CLI::Option* AddRequiredText(CLI::App& command, const std::string& name,
                             const std::string& valueName, std::string& target,
                             const std::string& help);

// "--name VALUE" that may repeat, one value each time; every value, in order.
CLI::Option* AddRepeatedText(CLI::App& command, const std::string& name,
                             const std::string& valueName, std::vector<std::string>& target,
                             const std::string& help);

// "--name VALUE" whose value is a finite number, the whole text as std::from_chars reads it.
// Any other text is refused with "--name: 'text' is not a number".
CLI::Option* AddNumber(CLI::App& command, const std::string& name, const std::string& valueName,
                       std::optional<double>& target, const std::string& help);

}  // namespace kvsorv::cli
