#include "cli/live_arguments.h"

#include <algorithm>

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

std::optional<std::string> parse(const std::vector<std::string>& args, LiveArguments& live) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (i + 1 == args.size()) return option + (option.starts_with('-') ? " needs a value" : ": unexpected");
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
      if (!(problem = once(live.follow.has_value()))) live.follow = FollowOptions{value, 10, ""};
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
    } else {
      return "unexpected " + option + " with " + (live.listen ? "--listen" : "--follow");
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

}  // namespace

std::optional<int> runLiveModeFromArguments(const std::vector<std::string>& args, std::ostream& out,
                                            std::ostream& err) {
  const bool live = std::any_of(args.begin(), args.end(), [](const std::string& arg) {
    return arg == "--listen" || arg == "--follow";
  });
  if (!live) return std::nullopt;
  LiveArguments parsed;
  auto problem = parse(args, parsed);
  if (!problem && parsed.listen) {
    for (const std::string& address : parsed.allowed) {
      if ((problem = parseAllowValue(address, *parsed.listen))) break;
    }
  }
  if (problem) {
    err << "fragtally-cli: " << *problem << "\n";
    return 2;
  }
  if (parsed.listen) {
    ListenOptions& options = *parsed.listen;
    options.folder = *parsed.folder;
    options.secret = parsed.secret;
    options.refreshSeconds = parsed.refresh.value_or(options.refreshSeconds);
    options.idleSeconds = parsed.idle.value_or(options.idleSeconds);
    return runListen(options, out, err);
  }
  FollowOptions& options = *parsed.follow;
  options.folder = *parsed.folder;
  options.refreshSeconds = parsed.refresh.value_or(options.refreshSeconds);
  return runFollow(options, out, err);
}

}  // namespace fragtally
