#include "profile/report/step_usage.h"

#include <sys/resource.h>

namespace report {

Usage usage_now() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; };
  // Linux gives the peak in kibibytes.
  return {seconds(u.ru_utime) + seconds(u.ru_stime), static_cast<std::uint64_t>(u.ru_maxrss) * 1024};
}

}  // namespace report
