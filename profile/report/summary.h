#pragma once
// The summary a run prints on standard error at its end, one line at a
// time, every line from the message table.
#include <functional>
#include <string>

#include "profile/report/run_stats.h"

namespace report {

void write_summary(const RunStats& s, const std::string& output, const std::function<void(const std::string&)>& line);

}  // namespace report
