#include "live/folder_run_outputs.h"

#include "base/file.h"
#include "batch/folder_run.h"

namespace fragtally::live {
namespace {

// Keeps what the run of one log tells.
class OneLogEvents : public FolderRunEvents {
 public:
  void waitingForFolder(const std::string& folder) override {
    messages += "waiting for another run writing to " + folder + '\n';
  }
  void inputProblem(const std::string& message) override { messages += message + '\n'; }
  void done(const LogOutcome& outcome) override {
    if (outcome.kind == LogOutcomeKind::failed) messages += outcome.log + ": " + outcome.message + '\n';
    if (outcome.report && !report) {
      report = outcome.report;
      name = outcome.name;
    }
  }

  std::string messages;
  std::optional<std::string> report;
  std::string name;
};

}  // namespace

FolderRunOutputs::Written FolderRunOutputs::writeOutputs(const std::string& log, bool withIndex) {
  FolderRun run;
  run.paths = {log};
  run.folder = folder_;
  run.force = true;  // the log has changed whatever its size and time say
  run.jobs = 1;
  run.rebuildIndex = withIndex;
  run.removeStaleTemporaries = !temporariesRemoved_;
  if (const auto known = names_.find(log); known != names_.end()) run.knownNames.emplace(log, known->second);
  OneLogEvents events;
  const FolderRunResult result = runFolder(run, events);
  temporariesRemoved_ = true;
  if (events.report) names_[log] = events.name;
  if (result.lockFailure) events.messages += *result.lockFailure + '\n';
  for (const std::string& failure : result.indexFailures) events.messages += failure + '\n';
  return Written{result.failed, std::move(events.report), std::move(events.messages)};
}

void FolderRunOutputs::refresh(const std::string& log) {
  const Written written = writeOutputs(log, false);
  if (written.failed) failed_ = true;
  if (played_ && written.report) played_->playing(log, pathFromUtf8(*written.report));
  activity_.write(written.messages);
}

void FolderRunOutputs::finish(const std::string& log, FinishReason reason) {
  const Written written = writeOutputs(log, true);
  names_.erase(log);  // a log played again later looks its name up again
  if (written.failed) failed_ = true;
  if (played_) played_->finished(log);
  std::string line = "finished " + log + " (" + finishReasonText(reason) + ")";
  line += !written.failed && written.report ? ": " + *written.report : ": no report";
  activity_.write(written.messages + line);
}

}  // namespace fragtally::live
