#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace fragtally {

/// The command-line program: writes one report per log, and with a folder the
/// match records and the index too. Returns the exit
/// status: 0 when every report was written, 1 when a log failed, 2 for a usage
/// error. Reports' paths go to `out`, messages to `err`; `progressShown` draws
/// a folder run's progress line on `err` (when it is a terminal).
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool progressShown = false);

}  // namespace fragtally
