#include "cli/serve_arguments.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "base/error.h"
#include "base/file.h"
#include "base/interrupt.h"
#include "base/printable.h"
#include "cli/live_arguments.h"
#include "cli/live_option_values.h"
#include "live/activity_log.h"
#include "live/live_modes.h"
#include "live/played_reports.h"
#include "serve/site_server.h"

namespace fragtally {
namespace {

// How often a lone server looks for an interrupt.
constexpr std::chrono::milliseconds kInterruptLook(200);

struct ServeArguments {
  std::string value;                 // [ADDRESS:]PORT
  std::vector<std::string> others;   // everything but --serve and its value
  std::optional<std::string> folder;
  bool live = false;
};

std::optional<std::string> parse(const std::vector<std::string>& args, ServeArguments& serve) {
  bool given = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--serve") {
      serve.others.push_back(args[i]);
      if (args[i] == "--listen" || args[i] == "--follow") serve.live = true;
      if (args[i] == "-d" && i + 1 < args.size()) serve.folder = args[i + 1];
      continue;
    }
    if (given) return "--serve given twice";
    if (i + 1 == args.size()) return "--serve needs a value";
    serve.value = args[++i];
    given = true;
  }
  if (!serve.live && !(serve.others.size() == 2 && serve.others[0] == "-d")) {
    return "--serve goes with -d DIR alone, or with --listen or --follow";
  }
  if (!serve.folder) return "--serve needs -d DIR";
  return std::nullopt;
}

// "8080" is the loopback address's port 8080: nothing is published unless asked.
std::optional<std::string> parseAddress(const std::string& value, serve::ServeSettings& settings) {
  ListenOptions parsed;
  if (auto problem = parseListenValue(value, parsed)) {
    if (problem->starts_with("--listen")) problem->replace(0, 8, "--serve");
    return problem;
  }
  settings.address = parsed.address ? live::addressText(*parsed.address) : "127.0.0.1";
  settings.port = parsed.port;
  return std::nullopt;
}

int serveUntilInterrupted(const serve::ServeSettings& settings, std::ostream& err) {
  live::ActivityLog activity(err);
  try {
    installInterruptHandlers();
    setServiceMode(true);
    serve::SiteServer server(settings);
    activity.write("serving " + utf8FromPath(settings.folder) + " on http://" + server.endpointText() + "/");
    while (!interruptRequested()) std::this_thread::sleep_for(kInterruptLook);
    server.stop();
  } catch (const Error& error) {
    activity.write(userMessage(error.what()));
    return 1;
  }
  activity.write("stopped");
  return 0;
}

}  // namespace

std::optional<int> runServeFromArguments(const std::vector<std::string>& args, std::ostream& out,
                                         std::ostream& err, const SiteArguments& site) {
  if (std::find(args.begin(), args.end(), "--serve") == args.end()) return std::nullopt;
  ServeArguments parsed;
  serve::ServeSettings settings;
  auto problem = parse(args, parsed);
  if (!problem) problem = parseAddress(parsed.value, settings);
  if (!problem && parsed.live) problem = liveArgumentsProblem(parsed.others);
  if (!problem && !parsed.live && site.given) problem = "--identity, --bots, --min-matches, --active-days and --lang go with a run that writes the site";
  if (problem) {
    err << "fragtally-cli: " << printableText(*problem) << "\n";
    return 2;
  }
  settings.folder = pathFromUtf8(*parsed.folder);
  if (!parsed.live) return serveUntilInterrupted(settings, err);

  // Beside a live mode: DIR is made first, as the live mode would, so that the
  // site can be served from the start.
  std::error_code ignored;
  std::filesystem::create_directories(settings.folder, ignored);
  live::PlayedReports played;
  // A page being played is loaded again by the browser as often as it is written.
  unsigned refreshSeconds = 10;
  for (std::size_t i = 0; i + 1 < parsed.others.size(); ++i) {
    if (parsed.others[i] == "--refresh") parseSecondsValue("--refresh", parsed.others[i + 1], refreshSeconds);
  }
  settings.refreshFor = [&played, refreshSeconds](const std::filesystem::path& page) -> std::optional<unsigned> {
    if (played.isPlayed(page)) return refreshSeconds;
    return std::nullopt;
  };
  std::optional<serve::SiteServer> server;
  try {
    server.emplace(settings);
  } catch (const Error& error) {
    live::ActivityLog(err).write(userMessage(error.what()));
    return 1;
  }
  live::ActivityLog(err).write("serving " + utf8FromPath(settings.folder) + " on http://" + server->endpointText() +
                               "/");
  const auto status = runLiveModeFromArguments(parsed.others, out, err, site, &played);
  server->stop();
  return status.value_or(2);
}

}  // namespace fragtally
