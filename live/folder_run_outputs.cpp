#include "live/folder_run_outputs.h"

#include <sstream>

#include "base/file.h"

#include "batch/folder_run.h"

namespace fragtally::live {
namespace {

// Writes the log's outputs; what the run prints goes into `printed` and
// `messages`. Returns the run's exit status.
int writeOutputs(const std::string& log, const std::string& folder, bool withIndex, std::ostream& printed,
                 std::ostream& messages) {
  FolderRun run;
  run.paths = {log};
  run.folder = folder;
  run.force = true;  // the log has changed whatever its size and time say
  run.jobs = 1;
  run.rebuildIndex = withIndex;
  run.progress = false;
  run.summary = false;
  return runFolder(run, printed, messages);
}

// The one report a run over one log printed; empty when it wrote none.
std::string printedReport(const std::ostringstream& printed) {
  std::string report = printed.str();
  if (const auto end = report.find('\n'); end != std::string::npos) report.resize(end);
  return report;
}

}  // namespace

void FolderRunOutputs::refresh(const std::string& log) {
  std::ostringstream printed;
  std::ostringstream messages;
  if (writeOutputs(log, folder_, false, printed, messages) != 0) failed_ = true;
  if (const std::string report = printedReport(printed); played_ && !report.empty()) {
    played_->playing(log, pathFromUtf8(report));
  }
  activity_.write(messages.str());
}

void FolderRunOutputs::finish(const std::string& log, FinishReason reason) {
  std::ostringstream printed;
  std::ostringstream messages;
  const int status = writeOutputs(log, folder_, true, printed, messages);
  if (status != 0) failed_ = true;
  if (played_) played_->finished(log);
  const std::string report = printedReport(printed);
  std::string line = "finished " + log + " (" + finishReasonText(reason) + ")";
  line += status == 0 && !report.empty() ? ": " + report : ": no report";
  activity_.write(messages.str() + line);
}

}  // namespace fragtally::live
