#include "live/folder_run_outputs.h"

#include "base/file.h"
#include "batch/folder_run.h"

namespace fragtally::live {
namespace {

// Keeps what a run over the live logs tells.
class LiveLogEvents : public FolderRunEvents {
 public:
  void waitingForFolder(const std::string& folder) override {
    messages += "waiting for another run writing to " + folder + '\n';
  }
  void inputProblem(const std::string& message) override { messages += message + '\n'; }
  void done(const LogOutcome& outcome) override {
    if (outcome.kind == LogOutcomeKind::failed) {
      messages += outcome.log + ": " + outcome.message + '\n';
      failedLogs.insert(outcome.log);
    }
    if (outcome.report && !reports.contains(outcome.log)) {
      reports.emplace(outcome.log, outcome.report);
      names.emplace(outcome.log, outcome.name);
    }
  }

  std::string messages;
  std::map<std::string, std::optional<std::string>> reports;
  std::map<std::string, std::string> names;
  std::set<std::string> failedLogs;
};

}  // namespace

FolderRunOutputs::Written FolderRunOutputs::writeOutputs(const std::vector<std::string>& logs, bool withIndex) {
  FolderRun run;
  run.paths = logs;
  run.folder = folder_;
  run.force = true;  // the logs have changed whatever their size and time say
  run.jobs = 1;
  run.rebuildIndex = withIndex;
  run.site = site_;
  run.removeStaleTemporaries = !temporariesRemoved_;
  for (const std::string& log : logs) {
    if (const auto known = names_.find(log); known != names_.end()) run.knownNames.emplace(log, known->second);
  }
  LiveLogEvents events;
  const FolderRunResult result = runFolder(run, events);
  temporariesRemoved_ = true;
  for (const auto& [log, name] : events.names) names_[log] = name;
  if (result.lockFailure) events.messages += *result.lockFailure + '\n';
  for (const std::string& failure : result.indexFailures) events.messages += failure + '\n';
  return Written{result.failed, std::move(events.reports), std::move(events.failedLogs), std::move(events.messages)};
}

void FolderRunOutputs::refresh(const std::string& log) {
  const Written written = writeOutputs({log}, false);
  if (written.failed) failed_ = true;
  const auto report = written.reports.find(log);
  if (played_ && report != written.reports.end() && report->second) played_->playing(log, pathFromUtf8(*report->second));
  activity_.write(written.messages);
}

void FolderRunOutputs::finish(const std::string& log, FinishReason reason) { finishAll({{log, reason}}); }

void FolderRunOutputs::finishAll(const std::vector<Finished>& logs) {
  std::vector<std::string> paths;
  for (const Finished& finished : logs) paths.push_back(finished.log);
  const Written written = writeOutputs(paths, true);
  if (written.failed) failed_ = true;
  // An index or lock failure is no one log's: then no log has its outputs whole.
  const bool runFailedBesideLogs = written.failed && written.failedLogs.empty();
  std::string lines = written.messages;
  for (const Finished& finished : logs) {
    names_.erase(finished.log);  // a log played again later looks its name up again
    if (played_) played_->finished(finished.log);
    const auto report = written.reports.find(finished.log);
    const bool whole = report != written.reports.end() && report->second && !runFailedBesideLogs &&
                       !written.failedLogs.contains(finished.log);
    lines += "finished " + finished.log + " (" + finishReasonText(finished.reason) + ")";
    lines += whole ? ": " + *report->second : ": no report";
    lines += '\n';
  }
  lines.pop_back();
  activity_.write(lines);
}

}  // namespace fragtally::live
