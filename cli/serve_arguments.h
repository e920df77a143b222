#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/site_arguments.h"

namespace fragtally {

/// The serving forms of the command line:
///   --serve [ADDRESS:]PORT -d DIR                serves DIR until SIGINT or SIGTERM
///   --serve [ADDRESS:]PORT --listen ... -d DIR   the same beside a live mode,
///   --serve [ADDRESS:]PORT --follow ... -d DIR   whose playing reports reload themselves
/// When `args` hold --serve, runs that and gives its exit status (2 with a
/// message for a usage error); otherwise nothing.
/// `site`: the site's options, taken out of the arguments before; they go
/// with a live mode only.
std::optional<int> runServeFromArguments(const std::vector<std::string>& args, std::ostream& out,
                                         std::ostream& err, const SiteArguments& site = {});

}  // namespace fragtally
