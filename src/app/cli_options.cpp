#include "app/cli_options.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace kvsorv::cli {

namespace {

std::optional<double> ParseNumber(std::string_view text) {
  double x = 0.0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, x);
  if (ec != std::errc() || ptr != end || !std::isfinite(x)) return std::nullopt;
  return x;
}

CLI::Option* OneValue(CLI::Option* option, const std::string& valueName) {
  return option->type_name(valueName)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

}  // namespace

CLI::Option* NotEmpty(CLI::Option* option) {
  return option->check(
      [](const std::string& text) { return text.empty() ? std::string("the name is empty") : ""; },
      "");
}

CLI::Option* AddText(CLI::App& command, const std::string& name, const std::string& valueName,
                     std::optional<std::string>& target, const std::string& help) {
  return NotEmpty(OneValue(command.add_option_function<std::string>(
                               name, [&target](const std::string& text) { target = text; }, help),
                           valueName));
}

CLI::Option* AddRequiredText(CLI::App& command, const std::string& name,
                             const std::string& valueName, std::string& target,
                             const std::string& help) {
  return NotEmpty(OneValue(command.add_option(name, target, help), valueName)->required());
}

CLI::Option* AddRepeatedText(CLI::App& command, const std::string& name,
                             const std::string& valueName, std::vector<std::string>& target,
                             const std::string& help) {
  return NotEmpty(command.add_option(name, target, help))
      ->type_name(valueName)
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

CLI::Option* AddNumber(CLI::App& command, const std::string& name, const std::string& valueName,
                       std::optional<double>& target, const std::string& help) {
  return OneValue(
             command.add_option_function<std::string>(
                 name, [&target](const std::string& text) { target = ParseNumber(text); }, help),
             valueName)
      ->check(
          [](const std::string& text) {
            return ParseNumber(text) ? std::string() : "'" + text + "' is not a number";
          },
          "");
}

}  // namespace kvsorv::cli
