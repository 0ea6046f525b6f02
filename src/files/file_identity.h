#pragma once
// Whether two names reach one file.

#include <string>

namespace kvsorv {

// True when both names reach the same file: for existing files by device and inode (so a
// link, a hard link or another path to the file counts), otherwise by their absolute paths
// with links and "." and ".." resolved as far as they exist. Never raises.
bool SameFile(const std::string& a, const std::string& b) noexcept;

}  // namespace kvsorv
