#pragma once

#include <ostream>
#include <string>

#include "batch/folder_run.h"
#include "cli/progress_line.h"

namespace fragtally {

/// Prints a folder run as the command line shows it: the path of every
/// written report on `out`, in input order; "<log>: <message>" for each
/// failure, the progress line and the closing summary on `err`.
class FolderRunPrinter : public FolderRunEvents {
 public:
  /// `progressShown`: draw the progress line (standard error is a terminal).
  FolderRunPrinter(std::ostream& out, std::ostream& err, bool progressShown)
      : out_(out), err_(err), line_(err, progressShown) {}

  void waitingForFolder(const std::string& folder) override;
  void inputProblem(const std::string& message) override;
  void done(const LogOutcome& outcome) override;
  void progress(const BatchCounts& counts) override { line_.draw(counts); }

  /// The end of the run: removes the progress line, prints why the index
  /// failed and the summary, or only why the folder's lock could not be
  /// taken. Returns the exit status, 0 or 1.
  int finished(const FolderRunResult& result);

 private:
  std::ostream& out_;
  std::ostream& err_;
  ProgressLine line_;
};

}  // namespace fragtally
