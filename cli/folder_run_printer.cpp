#include "cli/folder_run_printer.h"

#include "base/printable.h"

namespace fragtally {

void FolderRunPrinter::waitingForFolder(const std::string& folder) {
  err_ << "waiting for another run writing to " << printableText(folder) << '\n' << std::flush;
}

void FolderRunPrinter::inputProblem(const std::string& message) {
  line_.clear();
  err_ << printableText(message) << '\n';
}

void FolderRunPrinter::done(const LogOutcome& outcome) {
  line_.clear();
  if (outcome.kind == LogOutcomeKind::written && outcome.report) {
    out_ << printableText(*outcome.report) << '\n';
  } else if (outcome.kind == LogOutcomeKind::failed) {
    err_ << printableText(outcome.log + ": " + outcome.message) << '\n';
  }
}

int FolderRunPrinter::finished(const FolderRunResult& result) {
  line_.clear();
  if (result.lockFailure) {
    err_ << printableText(*result.lockFailure) << '\n';
    return 1;
  }
  for (const std::string& failure : result.indexFailures) err_ << printableText(failure) << '\n';
  err_ << summaryLine(result.counts) << '\n';
  return result.failed ? 1 : 0;
}

}  // namespace fragtally
