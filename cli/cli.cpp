#include "cli/cli.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "app/analysis.h"
#include "base/error.h"
#include "base/file.h"
#include "cli/live_arguments.h"
#include "report/write_report.h"
#include "stats/match_stats.h"
#include "version.h"

namespace fragtally {
namespace {

constexpr const char* kUsage =
    "usage: fragtally-cli LOG [-o REPORT]\n"
    "       fragtally-cli LOG... -d DIR\n"
    "\n"
    "Writes the HTML statistics report of a game server log, with the pictures\n"
    "of its weapons beside it.\n"
    "\n"
    "  LOG          the server's log of one game\n"
    "  -o REPORT    the report file (default: result.htm in the current folder;\n"
    "               \".htm\" is appended when REPORT has no extension)\n"
    "  -d DIR       one report per log, DIR/<log name>.htm (DIR is created)\n"
    "  --help       this text\n"
    "  --version    the program's version\n";

struct Options {
  std::vector<std::string> logs;
  std::optional<std::string> report;
  std::optional<std::string> folder;
  bool help = false;
  bool version = false;
};

// Returns a message for a usage error, or nothing.
std::optional<std::string> parseOptions(const std::vector<std::string>& args, Options& options) {
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
    } else if (arg == "-o" || arg == "-d") {
      if (i + 1 == args.size()) return arg + " needs a value";
      auto& slot = arg == "-o" ? options.report : options.folder;
      if (slot) return arg + " given twice";
      slot = args[++i];
    } else {
      return "unknown option " + arg;
    }
  }
  if (options.help || options.version) return std::nullopt;
  if (options.logs.empty()) return "no log given";
  if (options.report && options.folder) return "-o and -d exclude each other";
  if (options.logs.size() > 1 && !options.folder) return "several logs need -d DIR";
  return std::nullopt;
}

// The log's absolute path, as a file dialog gives it: not canonicalised.
std::string absoluteLogPath(const std::string& log) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(pathFromUtf8(log), error);
  return error ? log : utf8FromPath(absolute);
}

// A report name without an extension gets ".htm", as the save dialog does it.
std::string reportPathFor(const std::string& given) {
  return pathFromUtf8(given).has_extension() ? given : given + ".htm";
}

void analyseAndWrite(const std::string& log, const std::string& reportPath) {
  auto stats = std::make_unique<MatchStats>();
  analyseLogFile(*stats, absoluteLogPath(log));
  writeReport(*stats, reportPath);
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (const auto status = runLiveModeFromArguments(args, out, err)) return *status;
  Options options;
  if (const auto problem = parseOptions(args, options)) {
    err << "fragtally-cli: " << *problem << "\n\n" << kUsage;
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

  if (!options.folder) {
    const std::string reportPath = options.report ? reportPathFor(*options.report) : "result.htm";
    try {
      analyseAndWrite(options.logs.front(), reportPath);
    } catch (const Error& error) {
      err << userMessage(error.what()) << '\n';
      return 1;
    }
    out << reportPath << '\n';
    return 0;
  }

  int status = 0;
  std::error_code ignored;
  std::filesystem::create_directories(pathFromUtf8(*options.folder), ignored);
  for (const std::string& log : options.logs) {
    const std::filesystem::path report =
        pathFromUtf8(*options.folder) / (pathFromUtf8(log).stem().u8string() + u8".htm");
    const std::string reportPath = utf8FromPath(report);
    try {
      analyseAndWrite(log, reportPath);
      out << reportPath << '\n';
    } catch (const Error& error) {
      err << log << ": " << userMessage(error.what()) << '\n';
      status = 1;
    }
  }
  return status;
}

}  // namespace fragtally
