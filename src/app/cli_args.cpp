#include "app/cli_args.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace kvsorv::cli {

Options::Options(int argc, char** argv, int first, const std::vector<std::string>& allowed) {
  for (int i = first; i < argc; ++i) {
    std::string word = argv[i];
    if (word.rfind("--", 0) != 0) throw std::invalid_argument("unexpected argument '" + word + "'");
    word.erase(0, 2);
    std::string value;
    const auto eq = word.find('=');
    if (eq != std::string::npos) {
      value = word.substr(eq + 1);
      word.erase(eq);
    } else {
      if (i + 1 >= argc) throw std::invalid_argument("option --" + word + " needs a value");
      value = argv[++i];
    }
    if (std::find(allowed.begin(), allowed.end(), word) == allowed.end())
      throw std::invalid_argument("unknown option --" + word);
    values_[word].push_back(value);
  }
}

std::optional<std::string> Options::Get(const std::string& name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second.back();
}

std::vector<std::string> Options::GetAll(const std::string& name) const {
  const auto it = values_.find(name);
  return it == values_.end() ? std::vector<std::string>{} : it->second;
}

std::string Options::Require(const std::string& name) const {
  const auto v = Get(name);
  if (!v) throw std::invalid_argument("missing --" + name);
  return *v;
}

double Options::Number(const std::string& name, double fallback) const {
  const auto v = Get(name);
  if (!v) return fallback;
  double x = 0.0;
  const char* begin = v->data();
  const char* end = begin + v->size();
  const auto [ptr, ec] = std::from_chars(begin, end, x);
  if (ec != std::errc() || ptr != end || !std::isfinite(x))
    throw std::invalid_argument("--" + name + ": '" + *v + "' is not a number");
  return x;
}

}  // namespace kvsorv::cli
