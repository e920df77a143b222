#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace fragtally {

/// The live forms of the command line:
///   --listen [ADDRESS:]PORT -d DIR [--allow ADDRESS]... [--secret TEXT] [--refresh SECONDS] [--idle SECONDS]
///   --follow LOGDIR -d DIR [--refresh SECONDS]
/// When `args` hold --listen or --follow, runs that mode and gives its exit
/// status (2 with a message for a usage error); otherwise nothing.
std::optional<int> runLiveModeFromArguments(const std::vector<std::string>& args, std::ostream& out,
                                            std::ostream& err);

}  // namespace fragtally
