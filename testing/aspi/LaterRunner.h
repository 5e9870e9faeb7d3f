#pragma once
// Runs a layer's deferred work on threads of its own; joins them all when it
// goes, so it must go before the layer and the drives the work touches.
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class LaterRunner {
 public:
  LaterRunner() = default;
  LaterRunner(const LaterRunner&) = delete;
  LaterRunner& operator=(const LaterRunner&) = delete;
  ~LaterRunner() { JoinAll(); }

  void Run(std::chrono::milliseconds delay, std::function<void()> work) {
    std::lock_guard lock(mutex_);
    threads_.emplace_back([delay, work = std::move(work)] {
      std::this_thread::sleep_for(delay);
      work();
    });
  }

  void JoinAll() {
    std::vector<std::thread> threads;
    {
      std::lock_guard lock(mutex_);
      threads.swap(threads_);
    }
    for (std::thread& thread : threads) thread.join();
  }

 private:
  std::mutex mutex_;
  std::vector<std::thread> threads_;
};
