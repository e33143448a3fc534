#include "profile/report/progress.h"

#include "profile/messages/messages.h"

namespace report {

Progress::Progress(std::FILE* out, const core::WorkMeter& meter, std::chrono::milliseconds delay,
                   std::chrono::milliseconds period)
    : out_(out), meter_(meter), start_(std::chrono::steady_clock::now()), delay_(delay), period_(period) {
  thread_ = std::thread([this] { run(); });
}

void Progress::step(const char* name, unsigned index, unsigned count) {
  std::lock_guard<std::mutex> lock(mutex_);
  name_ = name;
  index_ = index;
  count_ = count ? count : 1;
}

void Progress::print(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  clear();
  std::fprintf(out_, "%s\n", text.c_str());
}

void Progress::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopped_) return;
    stopped_ = true;
    clear();
    std::fflush(out_);
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Progress::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopped_) {
    if (std::chrono::steady_clock::now() - start_ >= delay_ && !name_.empty()) draw();
    wake_.wait_for(lock, period_);
  }
}

void Progress::draw() {
  auto percent = static_cast<unsigned>(100 * (index_ + meter_.fraction()) / count_);
  std::string line = messages::format(messages::Message::Progress, {name_, std::to_string(index_ + 1),
                                                                    std::to_string(count_), std::to_string(percent)});
  if (line == drawn_) return;
  // Back to the line's start, the text, the rest of the old line erased.
  std::fprintf(out_, "\r%s\033[K", line.c_str());
  std::fflush(out_);
  drawn_ = std::move(line);
}

void Progress::clear() {
  if (drawn_.empty()) return;
  std::fputs("\r\033[K", out_);
  drawn_.clear();
}

}  // namespace report
