#pragma once
// A fresh directory for one test, made the working directory while the test runs (a run
// writes its scratch file there) and removed afterwards.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace kvsorv::testing {

class TempWorkDir {
 public:
  TempWorkDir() : previous_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvsorv-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    std::filesystem::current_path(path_);
  }
  ~TempWorkDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempWorkDir(const TempWorkDir&) = delete;
  TempWorkDir& operator=(const TempWorkDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(path_ / name, std::ios::binary) << text;
  }
  // Copies a file of the bundled example site into the directory; returns its path there.
  std::string CopyExample(const std::string& name) const {
    std::filesystem::copy_file(ExamplesDir() / name, path_ / name,
                               std::filesystem::copy_options::overwrite_existing);
    return File(name);
  }

  // The example site in the source tree (KVSORV_SOURCE_DIR, set for every test).
  static std::filesystem::path ExamplesDir() {
    const char* source = std::getenv("KVSORV_SOURCE_DIR");
    return std::filesystem::path(source != nullptr ? source : ".") / "examples";
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

}  // namespace kvsorv::testing
