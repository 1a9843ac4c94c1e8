#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

namespace zarvex {

/// A fixed set of threads that run submitted tasks in the order submitted. The destructor
/// drops the tasks not yet started and waits for the running ones.
class WorkerPool {
 public:
  explicit WorkerPool(unsigned threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  /// Runs `task` on a worker; its result, or what it threw, comes through the future.
  template <typename Task>
  std::future<std::invoke_result_t<Task>> submit(Task task) {
    using Result = std::invoke_result_t<Task>;
    auto packaged = std::make_shared<std::packaged_task<Result()>>(std::move(task));
    std::future<Result> result = packaged->get_future();
    push([packaged] { (*packaged)(); });
    return result;
  }

 private:
  void push(std::function<void()> task);
  void work();

  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> tasks_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace zarvex
