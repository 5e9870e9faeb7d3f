#pragma once
// Runs a layer's deferred work on threads of its own; joins them all when it
// goes, so it must go before the layer and the drives the work touches.
// A test that needs the work to come after something the code under test
// does first (a wait that gives up) holds it: the work then waits, after its
// delay, until the test releases it, however slow the machine.
#include <chrono>
#include <condition_variable>
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
    threads_.emplace_back([this, delay, work = std::move(work)] {
      std::this_thread::sleep_for(delay);
      {
        std::unique_lock held(mutex_);
        released_.wait(held, [this] { return !held_; });
      }
      work();
    });
  }

  // Work runs only once Release (or JoinAll) comes.
  void Hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
  }

  void Release() {
    {
      std::lock_guard lock(mutex_);
      held_ = false;
    }
    released_.notify_all();
  }

  void JoinAll() {
    Release();
    std::vector<std::thread> threads;
    {
      std::lock_guard lock(mutex_);
      threads.swap(threads_);
    }
    for (std::thread& thread : threads) thread.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  std::vector<std::thread> threads_;
};
