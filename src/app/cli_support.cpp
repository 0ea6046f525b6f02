#include "app/cli_support.h"

#include <array>
#include <charconv>

#include "files/param_file.h"
#include "model/globals.h"

namespace kvsorv::cli {

std::string Exact(double value) {
  std::array<char, 40> buf{};
  const auto r =
      std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 17);
  return std::string(buf.data(), r.ptr);
}

bool LoadParameters(const std::string& fileName) {
  double residual = 0.0;
  return ReadParamFile(fileName, ModelDef.numparam, Params, ModelDef.numstate, States, residual);
}

}  // namespace kvsorv::cli
