#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/site_arguments.h"
#include "live/played_reports.h"

namespace fragtally {

/// The live forms of the command line:
///   --listen [ADDRESS:]PORT -d DIR [--allow ADDRESS]... [--secret TEXT] [--refresh SECONDS] [--idle SECONDS]
///   --follow LOGDIR -d DIR [--refresh SECONDS]
/// When `args` hold --listen or --follow, runs that mode and gives its exit
/// status (2 with a message for a usage error); otherwise nothing. `played`,
/// when given, is told the reports being played.
/// `site`: the site's options, taken out of the arguments before.
std::optional<int> runLiveModeFromArguments(const std::vector<std::string>& args, std::ostream& out,
                                            std::ostream& err, const SiteArguments& site = {},
                                            live::PlayedReports* played = nullptr);

/// The usage error of a live form of the command line, or nothing.
std::optional<std::string> liveArgumentsProblem(const std::vector<std::string>& args);

}  // namespace fragtally
