#pragma once
// The progress line of a long run on a terminal: once a run has taken
// longer than `delay`, one line on `out`, redrawn in place when it changes
// (looked at every `period`), names the step under way and the share of
// the run done: the steps done, and of the step under way what its work
// meter shows. Lines printed
// meanwhile (warnings) go through `print`, which clears it first; stop()
// clears it for good. Made only when standard error is a terminal, so a
// log never holds any of it.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "core/diag/work_meter.h"

namespace report {

class Progress {
 public:
  Progress(std::FILE* out, const core::WorkMeter& meter, std::chrono::milliseconds delay = std::chrono::seconds(1),
           std::chrono::milliseconds period = std::chrono::milliseconds(200));
  ~Progress() { stop(); }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Step `index` (from 0) of `count` begins.
  void step(const char* name, unsigned index, unsigned count);
  // Prints a whole line (without its newline) below nothing of the progress.
  void print(const std::string& text);
  void stop();

 private:
  void run();
  void draw();   // with the lock held
  void clear();  // with the lock held

  std::FILE* out_;
  const core::WorkMeter& meter_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::milliseconds delay_, period_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::string name_;
  std::string drawn_;  // the line as it stands, "" when cleared
  unsigned index_ = 0, count_ = 1;
  bool stopped_ = false;
  std::thread thread_;
};

}  // namespace report
