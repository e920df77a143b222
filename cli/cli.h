#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace fragtally {

/// The command-line program: writes one report per log. Returns the exit
/// status: 0 when every report was written, 1 when a log failed, 2 for a usage
/// error. Reports' paths go to `out`, messages to `err`.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace fragtally
