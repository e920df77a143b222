#include "cli/live/folder_run_outputs.h"

#include <sstream>

#include "base/file.h"

#if __has_include("cli/folder_run.h")
#include "cli/folder_run.h"
#else
// Until the folder run is on this branch: the report alone, under the log's
// name. Removed when cli/folder_run.h arrives.
#include <memory>

#include "app/analysis.h"
#include "base/error.h"
#include "report/write_report.h"
#include "stats/match_stats.h"
#endif

namespace fragtally::live {
namespace {

// Writes the log's outputs; what the run prints goes into `printed` and
// `messages`. Returns the run's exit status.
int writeOutputs(const std::string& log, const std::string& folder, bool withIndex, std::ostream& printed,
                 std::ostream& messages) {
#if __has_include("cli/folder_run.h")
  FolderRun run;
  run.paths = {log};
  run.folder = folder;
  run.force = true;  // the log has changed whatever its size and time say
  run.jobs = 1;
  run.rebuildIndex = withIndex;
  run.progress = false;
  run.summary = false;
  return runFolder(run, printed, messages);
#else
  (void)withIndex;
  const std::string report = utf8FromPath(pathFromUtf8(folder) / (pathFromUtf8(log).stem().u8string() + u8".htm"));
  try {
    auto stats = std::make_unique<MatchStats>();
    analyseLogFile(*stats, log);
    writeReport(*stats, report);
  } catch (const Error& error) {
    messages << log << ": " << userMessage(error.what()) << '\n';
    return 1;
  }
  printed << report << '\n';
  return 0;
#endif
}

}  // namespace

void FolderRunOutputs::refresh(const std::string& log) {
  std::ostringstream printed;
  std::ostringstream messages;
  if (writeOutputs(log, folder_, false, printed, messages) != 0) failed_ = true;
  activity_.write(messages.str());
}

void FolderRunOutputs::finish(const std::string& log, FinishReason reason) {
  std::ostringstream printed;
  std::ostringstream messages;
  const int status = writeOutputs(log, folder_, true, printed, messages);
  if (status != 0) failed_ = true;
  std::string report = printed.str();
  if (const auto end = report.find('\n'); end != std::string::npos) report.resize(end);
  std::string line = "finished " + log + " (" + finishReasonText(reason) + ")";
  line += status == 0 && !report.empty() ? ": " + report : ": no report";
  activity_.write(messages.str() + line);
}

}  // namespace fragtally::live
