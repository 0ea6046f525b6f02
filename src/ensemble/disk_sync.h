#pragma once
// Has the kernel write a file's data to the disk (fsync) on a thread of its own, so that the
// writer goes on computing while the disk catches up. Requests made while a sync is under way
// are served by one more sync after it.

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace kvsorv::ensemble {

class DiskSync {
 public:
  // Opens `fileName` to sync it. std::system_error naming the file when it cannot be opened.
  explicit DiskSync(const std::string& fileName);
  DiskSync(const DiskSync&) = delete;
  DiskSync& operator=(const DiskSync&) = delete;
  // Waits for the sync under way; a failure then is dropped.
  ~DiskSync();

  // A sync of everything written to the file so far; returns at once. std::system_error
  // naming the file when an earlier sync failed (the data may not be on the disk).
  void Request();
  // Returns once every sync requested has finished; std::system_error as Request.
  void Wait();

 private:
  void Serve();
  void ThrowFailure();

  std::string name_;
  int fd_ = -1;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool requested_ = false, busy_ = false, quit_ = false;
  int error_ = 0;  // errno of the first sync that failed
  std::thread thread_;
};

// Has the directory holding `fileName` written to the disk, so that a file new there, or renamed
// there, keeps its name after a power cut; at once. Best effort: some file systems cannot.
void SyncDirectoryOf(const std::string& fileName);

}  // namespace kvsorv::ensemble
