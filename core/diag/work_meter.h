#pragma once
// How far a long step has come, for a progress line drawn by another
// thread: the step sets how much work there is and adds what it has done.
#include <atomic>
#include <cstdint>

namespace core {

class WorkMeter {
 public:
  void start(std::uint64_t total) {
    done_.store(0, std::memory_order_relaxed);
    total_.store(total, std::memory_order_relaxed);
  }
  void add(std::uint64_t n) { done_.fetch_add(n, std::memory_order_relaxed); }
  // Done over total, at most 1; 0 while the total is unknown.
  double fraction() const {
    std::uint64_t total = total_.load(std::memory_order_relaxed), done = done_.load(std::memory_order_relaxed);
    return total == 0 ? 0.0 : done >= total ? 1.0 : static_cast<double>(done) / static_cast<double>(total);
  }

 private:
  std::atomic<std::uint64_t> done_{0}, total_{0};
};

}  // namespace core
