#include "ensemble_window/plan_text_parts.h"

#include <charconv>
#include <filesystem>

namespace kvsorv::ensemble {

namespace fs = std::filesystem;

std::string TomlQuoted(const std::string& text) {
  std::string q = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

std::string TomlNumber(double x) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, x).ptr;
  return std::string(text, end);
}

std::string TomlList(const std::vector<double>& values) {
  std::string text = "[";
  for (std::size_t i = 0; i < values.size(); ++i)
    text += (i == 0 ? "" : i % 8 == 0 ? ",\n  " : ", ") + TomlNumber(values[i]);
  return text + "]";
}

std::string PathFromPlan(const std::string& file, const std::string& planFile) {
  const fs::path directory = fs::absolute(planFile).parent_path();
  const fs::path target = fs::absolute(file).lexically_normal();
  const fs::path relative = target.lexically_relative(directory);
  if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
  return target.string();
}

}  // namespace kvsorv::ensemble
