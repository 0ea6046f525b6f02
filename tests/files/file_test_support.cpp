#include "file_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace kvsorv::testing {

ScratchDir::ScratchDir() {
  std::random_device random;
  dir_ = std::filesystem::temp_directory_path() /
         ("kvsorv-files-" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(dir_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string ScratchDir::Path(std::string_view name) const {
  return (dir_ / name).string();
}

std::string ScratchDir::Write(std::string_view name, std::string_view bytes) const {
  const std::string path = Path(name);
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string SourcePath(std::string_view relative) {
  const char* root = std::getenv("KVSORV_SOURCE_DIR");
  EXPECT_NE(root, nullptr) << "KVSORV_SOURCE_DIR is not set";
  return (std::filesystem::path(root != nullptr ? root : ".") / relative).string();
}

std::string GoldenPath(std::string_view name) {
  return SourcePath(std::string("tests/files/golden/") + std::string(name));
}

std::string WithBareLineFeeds(std::string_view text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) result += text[i];
  return result;
}

}  // namespace kvsorv::testing
