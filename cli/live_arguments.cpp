#include "cli/live_arguments.h"

#include <algorithm>

#include "base/error.h"
#include "base/printable.h"
#include "cli/live_option_values.h"
#include "live/live_modes.h"

namespace fragtally {
namespace {

struct LiveArguments {
  std::optional<ListenOptions> listen;
  std::optional<FollowOptions> follow;
  std::optional<std::string> folder;
  std::optional<unsigned> refresh;
  std::optional<unsigned> idle;
  std::vector<std::string> allowed;
  std::optional<std::string> secret;
};

// The batch form's options: known to the program, of no use to a live mode.
bool isBatchOption(const std::string& option) {
  return option == "--force" || option == "--json" || option == "-o" || option == "-j" ||
         (option.starts_with("-j") && option.size() > 2) || option == "--help" || option == "-h" ||
         option == "--version";
}

bool takesValue(const std::string& option) {
  return option == "--listen" || option == "--follow" || option == "-d" || option == "--refresh" ||
         option == "--idle" || option == "--allow" || option == "--secret";
}

std::optional<std::string> parse(const std::vector<std::string>& args, LiveArguments& live) {
  // The mode named in messages: the first given, as the user reads it.
  const auto modeAt = std::find_if(args.begin(), args.end(),
                                   [](const std::string& arg) { return arg == "--listen" || arg == "--follow"; });
  const std::string mode = modeAt == args.end() ? "--listen" : *modeAt;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    // Only the live options take a value: any other word is named for what it
    // is, never taken for an option missing its value.
    if (isBatchOption(option)) return option + " does not apply to " + mode;
    if (!takesValue(option)) {
      return option.starts_with('-') && option != "-" ? "unknown option " + option
                                                      : "unexpected " + option + " with " + mode;
    }
    if (i + 1 == args.size()) return option + " needs a value";
    const std::string& value = args[++i];
    const auto once = [&](bool given) -> std::optional<std::string> {
      if (given) return option + " given twice";
      return std::nullopt;
    };
    std::optional<std::string> problem;
    if (option == "--listen") {
      if (!(problem = once(live.listen.has_value()))) {
        live.listen.emplace();
        problem = parseListenValue(value, *live.listen);
      }
    } else if (option == "--follow") {
      if (!(problem = once(live.follow.has_value()))) {
        live.follow.emplace();
        live.follow->logFolder = value;
      }
    } else if (option == "-d") {
      if (!(problem = once(live.folder.has_value()))) live.folder = value;
    } else if (option == "--refresh" || option == "--idle") {
      std::optional<unsigned>& slot = option == "--refresh" ? live.refresh : live.idle;
      if (!(problem = once(slot.has_value()))) {
        unsigned seconds = 0;
        problem = parseSecondsValue(option, value, seconds);
        slot = seconds;
      }
    } else if (option == "--allow") {
      live.allowed.push_back(value);
    } else if (option == "--secret") {
      if (!(problem = once(live.secret.has_value()))) live.secret = value;
      if (!problem && value.empty()) problem = "--secret: the secret is empty";
    }
    if (problem) return problem;
  }
  if (live.listen && live.follow) return "--listen and --follow exclude each other";
  if (!live.folder) return "the live modes need -d DIR";
  if (live.follow && (live.idle || live.secret || !live.allowed.empty())) {
    return "--allow, --secret and --idle go with --listen only";
  }
  return std::nullopt;
}

std::optional<std::string> parseAll(const std::vector<std::string>& args, LiveArguments& parsed) {
  auto problem = parse(args, parsed);
  if (!problem && parsed.listen) {
    for (const std::string& address : parsed.allowed) {
      if ((problem = parseAllowValue(address, *parsed.listen))) break;
    }
  }
  return problem;
}

}  // namespace

std::optional<std::string> liveArgumentsProblem(const std::vector<std::string>& args) {
  LiveArguments parsed;
  return parseAll(args, parsed);
}

std::optional<int> runLiveModeFromArguments(const std::vector<std::string>& args, std::ostream& out,
                                            std::ostream& err, const SiteArguments& site,
                                            live::PlayedReports* played) {
  const bool live = std::any_of(args.begin(), args.end(), [](const std::string& arg) {
    return arg == "--listen" || arg == "--follow";
  });
  if (!live) return std::nullopt;
  LiveArguments parsed;
  if (const auto problem = parseAll(args, parsed)) {
    err << "fragtally-cli: " << printableText(*problem) << "\n";
    return 2;
  }
  SiteSettings siteSettings;
  try {
    siteSettings = siteSettingsFor(site, *parsed.folder);
  } catch (const Error& error) {
    err << printableText(userMessage(error.what())) << '\n';
    return 1;
  }
  if (parsed.listen) {
    ListenOptions& options = *parsed.listen;
    options.folder = *parsed.folder;
    options.secret = parsed.secret;
    options.refreshSeconds = parsed.refresh.value_or(options.refreshSeconds);
    options.idleSeconds = parsed.idle.value_or(options.idleSeconds);
    options.site = std::move(siteSettings);
    options.played = played;
    return runListen(options, out, err);
  }
  FollowOptions& options = *parsed.follow;
  options.folder = *parsed.folder;
  options.refreshSeconds = parsed.refresh.value_or(options.refreshSeconds);
  options.site = std::move(siteSettings);
  options.played = played;
  return runFollow(options, out, err);
}

}  // namespace fragtally
