#include "tasks/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace kvsorv::tasks {

namespace {

// True on a thread while it runs the body of a ParallelFor.
thread_local bool insideBody = false;

// Marks the thread as running a body for the scope's lifetime.
class InBody {
 public:
  InBody() { insideBody = true; }
  InBody(const InBody&) = delete;
  InBody& operator=(const InBody&) = delete;
  ~InBody() { insideBody = outer_; }

 private:
  bool outer_ = insideBody;
};

// One call of ParallelFor: its indices, handed out by `next`, and its first failure.
struct Loop {
  std::size_t n = 0;
  const std::function<void(std::size_t)>* body = nullptr;
  std::atomic<std::size_t> next{0};
  std::mutex failing;
  std::exception_ptr failure;
  int helping = 0;  // pool threads in the loop; guarded by the pool's mutex

  // Runs indices until none is left.
  void Work() {
    const InBody scope;
    try {
      for (std::size_t i = next++; i < n; i = next++) (*body)(i);
    } catch (...) {
      const std::lock_guard lock(failing);
      if (!failure) failure = std::current_exception();
      next = n;
    }
  }
};

class Pool {
 public:
  ~Pool() {
    {
      const std::lock_guard lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

  std::size_t Threads() {
    const std::lock_guard lock(mutex_);
    return threads_.size();
  }

  // Runs the loop on the caller's thread and `helpers` of the pool's.
  void Run(Loop& loop, std::size_t helpers) {
    {
      const std::lock_guard lock(mutex_);
      try {
        for (std::size_t h = 0; h < helpers; ++h) waiting_.push_back(&loop);
      } catch (...) {
        std::erase(waiting_, &loop);
        throw;
      }
      // Every request waiting has an idle thread of its own, so that none waits for a busy one.
      while (idle_ < waiting_.size()) {
        try {
          threads_.emplace_back(&Pool::Serve, this);
        } catch (const std::exception&) {
          break;  // no thread to be had: the caller's runs what is left
        }
        ++idle_;
      }
    }
    wake_.notify_all();
    loop.Work();
    // Requests not yet taken are withdrawn: the loop is done; those taken are waited for.
    std::unique_lock lock(mutex_);
    std::erase(waiting_, &loop);
    finished_.wait(lock, [&] { return loop.helping == 0; });
  }

 private:
  void Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return quit_ || !waiting_.empty(); });
      if (waiting_.empty()) return;
      Loop* loop = waiting_.front();
      waiting_.pop_front();
      --idle_;
      ++loop->helping;
      lock.unlock();
      loop->Work();
      lock.lock();
      ++idle_;
      if (--loop->helping == 0) finished_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_, finished_;
  std::deque<Loop*> waiting_;  // one entry per pool thread a loop asks for
  std::size_t idle_ = 0;       // pool threads not in a loop
  bool quit_ = false;
  std::vector<std::thread> threads_;
};

Pool& ThePool() {
  static Pool pool;
  return pool;
}

}  // namespace

std::size_t HardwareThreads() {
  return std::max(1u, std::thread::hardware_concurrency());
}

void ParallelFor(std::size_t n, std::size_t threads, const std::function<void(std::size_t)>& body) {
  threads = std::min(threads, n);
  if (threads <= 1 || insideBody) {
    const InBody scope;
    for (std::size_t i = 0; i < n; ++i) body(i);
    return;
  }
  Loop loop;
  loop.n = n;
  loop.body = &body;
  ThePool().Run(loop, threads - 1);
  if (loop.failure) std::rethrow_exception(loop.failure);
}

std::size_t PoolThreads() {
  return ThePool().Threads();
}

}  // namespace kvsorv::tasks
