#include "ensemble/disk_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace kvsorv::ensemble {

namespace {

int SyncDescriptor(int fd) {
  while (::fsync(fd) != 0)
    if (errno != EINTR) return errno;
  return 0;
}

}  // namespace

void SyncDirectoryOf(const std::string& fileName) {
  const std::string directory = std::filesystem::absolute(fileName).parent_path().string();
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  SyncDescriptor(fd);
  ::close(fd);
}

DiskSync::DiskSync(const std::string& fileName) : name_(fileName) {
  fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0)
    throw std::system_error(errno, std::generic_category(), fileName + ": cannot be synced");
}

DiskSync::~DiskSync() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
  ::close(fd_);
}

void DiskSync::Request() {
  {
    const std::lock_guard lock(mutex_);
    ThrowFailure();
    requested_ = true;
    if (!thread_.joinable()) thread_ = std::thread(&DiskSync::Serve, this);
  }
  changed_.notify_all();
}

void DiskSync::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return !requested_ && !busy_; });
  ThrowFailure();
}

void DiskSync::ThrowFailure() {
  if (error_ != 0)
    throw std::system_error(error_, std::generic_category(),
                            name_ + ": cannot be written to the disk");
}

void DiskSync::Serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return requested_ || quit_; });
    if (!requested_) return;
    requested_ = false;
    busy_ = true;
    lock.unlock();
    const int failure = SyncDescriptor(fd_);
    lock.lock();
    busy_ = false;
    if (failure != 0 && error_ == 0) error_ = failure;
    changed_.notify_all();
  }
}

}  // namespace kvsorv::ensemble
