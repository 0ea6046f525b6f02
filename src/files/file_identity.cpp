#include "files/file_identity.h"

#include <filesystem>
#include <system_error>

namespace kvsorv {

namespace fs = std::filesystem;

bool SameFile(const std::string& a, const std::string& b) noexcept {
  if (a.empty() || b.empty()) return false;
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) {
    const bool same = fs::equivalent(a, b, ec);
    return !ec && same;
  }
  const fs::path pa = fs::weakly_canonical(fs::absolute(a, ec), ec);
  if (ec) return false;
  const fs::path pb = fs::weakly_canonical(fs::absolute(b, ec), ec);
  return !ec && pa == pb;
}

}  // namespace kvsorv
