#include "cli/cli.h"

#include <charconv>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "analysis/analysis.h"
#include "analysis/match_players.h"
#include "base/error.h"
#include "base/file.h"
#include "base/output_names.h"
#include "base/printable.h"
#include "base/resolved_path.h"
#include "batch/folder_run.h"
#include "cli/folder_run_printer.h"
#include "cli/live_arguments.h"
#include "cli/serve_arguments.h"
#include "cli/site_arguments.h"
#include "base/file_store.h"
#include "record/match_record.h"
#include "report/report_model.h"
#include "report/write_report.h"
#include "stats/match_stats.h"
#include "version.h"

namespace fragtally {
namespace {

constexpr const char* kUsage =
    "usage: fragtally-cli LOG [-o REPORT] [--json [-]]\n"
    "       fragtally-cli PATH... -d DIR [--force] [-j N] [SITE OPTIONS]\n"
    "       fragtally-cli --listen [ADDRESS:]PORT -d DIR [--allow ADDRESS]...\n"
    "                     [--secret TEXT] [--refresh SECONDS] [--idle SECONDS]\n"
    "       fragtally-cli --follow LOGDIR -d DIR [--refresh SECONDS]\n"
    "       fragtally-cli --serve [ADDRESS:]PORT -d DIR [--listen ... | --follow ...]\n"
    "\n"
    "Writes the HTML statistics report of a game server log, with the pictures\n"
    "of its weapons beside it.\n"
    "\n"
    "  LOG          the server's log of one game; \"-\" reads standard input\n"
    "  -o REPORT    the report file (default: result.htm in the current folder;\n"
    "               \".htm\" is appended when REPORT has no extension)\n"
    "  --json       also write the match record, REPORT's name with \".json\"\n"
    "  --json -     print the match record on standard output, write nothing else\n"
    "  PATH         a log, or a folder standing for every *.log file in it\n"
    "  -d DIR       one report, match record and the pictures per log in DIR,\n"
    "               then DIR/index.htm, the list of all matches and players in\n"
    "               DIR; a name already used by another log's report gets\n"
    "               \"-2\", \"-3\"... (DIR is made when a report is written)\n"
    "  --force      with -d: redo the logs whose reports are up to date\n"
    "  -j N         with -d: analyse N logs at once (default: one per\n"
    "               hardware thread)\n"
    "Site options (with -d, --listen or --follow; DIR/players.txt, when there,\n"
    "merges, hides and names players):\n"
    "  --identity auto|id|name\n"
    "               tell players apart by their account where the log gives\n"
    "               one and by name otherwise (auto), by account only (id) or\n"
    "               by name only (name)\n"
    "  --bots       count bots as players: ranked, rated, with pages\n"
    "  --min-matches N\n"
    "               matches a player needs to be ranked (3)\n"
    "  --active-days N\n"
    "               days a player stays active after his last match, counted\n"
    "               back from the newest match (60); the others are listed apart\n"
    "  --lang en|ru the language of every page in DIR (ru): with en the match\n"
    "               pages are English UTF-8 pages instead of the Russian report;\n"
    "               a run in another language than DIR's pages redoes them all\n"
    "  --listen [ADDRESS:]PORT\n"
    "               receive a server's log stream over UDP (IPv4 or IPv6, e.g.\n"
    "               27500, 0.0.0.0:27500, [::]:27500): every line goes to a raw\n"
    "               log in DIR/logs/, the match being played is refreshed in\n"
    "               DIR, a finished one gets its record and the index\n"
    "  --allow ADDRESS\n"
    "               take datagrams from this address too (repeatable; default:\n"
    "               the loopback addresses only)\n"
    "  --secret TEXT\n"
    "               take only datagrams carrying the server's sv_logsecret\n"
    "  --refresh SECONDS\n"
    "               refresh the match being played at most this often (10)\n"
    "  --idle SECONDS\n"
    "               finish a source's match after this long silent (600)\n"
    "  --follow LOGDIR\n"
    "               read a server's logs folder as it grows, like --listen\n"
    "  --serve [ADDRESS:]PORT\n"
    "               serve DIR's pages over HTTP, read-only (default address\n"
    "               127.0.0.1; 0.0.0.0:8080 publishes them), alone or beside\n"
    "               --listen or --follow, whose playing reports then reload\n"
    "               themselves in the browser\n"
    "  --help       this text\n"
    "  --version    the program's version\n"
    "\n"
    "Exit status: 0 when everything was written, 1 when a log, a picture or\n"
    "standard output failed, 2 for a usage error.\n";

struct Options {
  std::vector<std::string> logs;
  std::optional<std::string> report;
  std::optional<std::string> folder;
  bool json = false;
  bool jsonToOutput = false;
  bool force = false;
  std::optional<unsigned> jobs;
  bool help = false;
  bool version = false;
};

// A name that can only be a folder: empty, ending in a separator, or an
// existing folder.
bool namesAFolder(const std::string& name) {
  if (name.empty() || name.back() == '/') return true;
#ifdef _WIN32
  if (name.back() == '\\') return true;
#endif
  std::error_code error;
  return std::filesystem::is_directory(pathFromUtf8(name), error);
}

std::optional<unsigned> parseJobs(const std::string& text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > 1024) return std::nullopt;
  return value;
}

// Returns a message for a usage error, or nothing.
std::optional<std::string> parseOptions(const std::vector<std::string>& args, Options& options, bool siteOptions) {
  bool onlyLogs = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (onlyLogs || arg.empty() || arg[0] != '-' || arg == "-") {
      options.logs.push_back(arg);
    } else if (arg == "--") {
      onlyLogs = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--json") {
      options.json = true;
      if (i + 1 < args.size() && args[i + 1] == "-") {
        options.jsonToOutput = true;
        ++i;
      }
    } else if (arg == "--force") {
      options.force = true;
    } else if (arg.size() > 2 && arg.compare(0, 2, "-j") == 0) {
      options.jobs = parseJobs(arg.substr(2));
      if (!options.jobs) return "-j takes a number from 1 to 1024";
    } else if (arg == "-o" || arg == "-d" || arg == "-j") {
      if (i + 1 == args.size()) return arg + " needs a value";
      const std::string& value = args[++i];
      if (arg == "-j") {
        options.jobs = parseJobs(value);
        if (!options.jobs) return "-j takes a number from 1 to 1024";
        continue;
      }
      auto& slot = arg == "-o" ? options.report : options.folder;
      if (slot) return arg + " given twice";
      if (value.empty()) return arg + " needs a non-empty name";
      slot = value;
    } else {
      return "unknown option " + arg;
    }
  }
  if (options.help || options.version) return std::nullopt;
  if (options.logs.empty()) return "no log given";
  if (options.report && options.folder) return "-o and -d exclude each other";
  if (options.folder) {
    if (options.jsonToOutput) return "--json - takes a single log, without -d";
    for (const std::string& log : options.logs) {
      if (log == "-") return "standard input (\"-\") takes a single log, without -d";
    }
    return std::nullopt;
  }
  if (options.logs.size() > 1) return "several logs need -d DIR";
  if (siteOptions) return "--identity, --bots, --min-matches, --active-days and --lang go with -d DIR";
  if (options.force || options.jobs) return "--force and -j go with -d DIR";
  if (options.jsonToOutput && options.report) return "--json - writes no report: leave out -o";
  if (options.report && namesAFolder(*options.report)) return "-o names a folder, not a report file: " + *options.report;
  return std::nullopt;
}

// A report name without an extension gets ".htm", as the save dialog does it.
std::string reportPathFor(const std::string& given) {
  return pathFromUtf8(given).has_extension() ? given : given + kReportExtension;
}

// The match record beside a report: the report's name with ".json".
std::filesystem::path recordPathFor(const std::string& reportPath) {
  return pathFromUtf8(reportPath).replace_extension(kRecordExtension);
}

// What the record says of the log: standard input has no file to look at, so
// its record tells the time it was read, and its size is the bytes read.
LogFileFacts factsOfLog(const std::string& log) {
  if (log != "-") return logFileFacts(log);
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  LogFileFacts facts;
  facts.path = log;
  facts.sized = false;
  facts.modifiedUnixSeconds = std::chrono::duration_cast<std::chrono::seconds>(now).count();
  return facts;
}

// One log: the report and its pictures, and the match record when asked for.
int runSingleLog(const Options& options, std::ostream& out, std::ostream& err) {
  const std::string& given = options.logs.front();
  const std::string log = given == "-" ? given : resolvedPath(given);  // standard input has no path
  try {
    LogFileFacts facts = factsOfLog(log);
    auto stats = std::make_unique<MatchStats>();
    // The people only go into the record: a report alone does without them.
    MatchPlayersCollector people;
    const std::uint64_t bytesRead = analyseLogFile(*stats, log, options.json ? &people : nullptr);
    if (!facts.sized) facts.bytes = bytesRead;
    const ReportModel model = buildReportModel(*stats);
    if (options.jsonToOutput) {
      out << matchRecordJson(model, people.result(), facts);
      return 0;
    }
    const std::string reportPath = options.report ? reportPathFor(*options.report) : "result.htm";
    removeStaleTemporaries(pathFromUtf8(reportPath).parent_path().empty() ? "." : pathFromUtf8(reportPath).parent_path());
    std::vector<std::filesystem::path> records;
    if (options.json) records.push_back(recordPathFor(reportPath));
    writeReport(*stats, model, reportPath, records);
    if (options.json && !replaceFileContents(records.front(), matchRecordJson(model, people.result(), facts))) {
      throw cannotCreateFile(utf8FromPath(records.front()));
    }
    out << printableText(reportPath) << '\n';
    return 0;
  } catch (const Error& error) {
    err << printableText(userMessage(error.what())) << '\n';
    return 1;
  }
}

}  // namespace

int runCli(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err, bool progressShown) {
  std::vector<std::string> args = givenArgs;
  SiteArguments site;
  if (const auto problem = takeSiteArguments(args, site)) {
    err << "fragtally-cli: " << printableText(*problem) << "\n\n" << kUsage;
    return 2;
  }
  if (const auto status = runServeFromArguments(args, out, err, site)) return *status;
  if (const auto status = runLiveModeFromArguments(args, out, err, site)) return *status;
  Options options;
  if (const auto problem = parseOptions(args, options, site.given)) {
    err << "fragtally-cli: " << printableText(*problem) << "\n\n" << kUsage;
    return 2;
  }
  if (options.help) {
    out << kUsage;
    return 0;
  }
  if (options.version) {
    out << "fragtally-cli " FRAGTALLY_VERSION_TEXT "\n";
    return 0;
  }
  if (!options.folder) return runSingleLog(options, out, err);

  FolderRun run;
  try {
    // The admin's players.txt is read before anything is written: a line it
    // cannot read stops the run with the file and line named.
    run.site = siteSettingsFor(site, *options.folder);
  } catch (const Error& error) {
    err << printableText(userMessage(error.what())) << '\n';
    return 1;
  }
  run.paths = options.logs;
  run.folder = *options.folder;
  run.force = options.force;
  run.jobs = options.jobs.value_or(0);
  FolderRunPrinter printer(out, err, progressShown);
  return printer.finished(runFolder(run, printer));
}

}  // namespace fragtally
