#pragma once
// Scratch directories and byte-level file helpers for the file-layer tests.

#include <filesystem>
#include <string>
#include <string_view>

namespace kvsorv::testing {

// A fresh directory under the system's temporary directory, removed with its contents.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Path of a file in the directory.
  std::string Path(std::string_view name) const;
  // Writes the bytes to a file in the directory and returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const;

 private:
  std::filesystem::path dir_;
};

// The whole content of a file.
std::string ReadBytes(const std::string& path);

// Path of a file under the source tree (from KVSORV_SOURCE_DIR), e.g. "tests/files/golden".
std::string SourcePath(std::string_view relative);
std::string GoldenPath(std::string_view name);

// The text with every CR LF turned into a bare LF.
std::string WithBareLineFeeds(std::string_view text);

}  // namespace kvsorv::testing
