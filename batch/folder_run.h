#pragma once

#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_counts.h"
#include "site/site_settings.h"

namespace fragtally {

/// A run over many logs into one output folder.
struct FolderRun {
  std::vector<std::string> paths;  ///< logs or folders (a folder: its *.log files, in name order)
  std::string folder;              ///< the output folder
  bool force = false;              ///< redo logs whose record says they are up to date
  unsigned jobs = 0;               ///< logs analysed at once; 0: every hardware thread
  bool rebuildIndex = true;        ///< rebuild the folder's site (index, rating, players' pages) at the end
  SiteSettings site;               ///< who is who on the site, and who is ranked
  /// Remove this program's temporary files older than a day from the folder
  /// first. A caller that runs again and again into one folder does it once.
  bool removeStaleTemporaries = true;
  /// Report names (without ".htm") that an earlier run into this folder gave
  /// to logs, by the log's path as given in `paths`, and under which that run
  /// stored the log's record. Such a log keeps its name without the folder
  /// being looked at; when every log has one, the folder is not listed at all.
  std::map<std::string, std::string> knownNames;
  /// When given and set (from any thread), no further log is begun: the logs
  /// being done are finished and stored whole, and the index page is rebuilt
  /// over what the folder then holds. The logs not begun get no outcome.
  const std::atomic<bool>* cancel = nullptr;
};

/// What became of one log, told in input order.
struct LogOutcome {
  LogOutcomeKind kind = LogOutcomeKind::failed;
  std::string log;                    ///< as given, or as the folder listing named it
  std::string name;                   ///< its report's name in the folder, without ".htm"
  std::optional<std::string> report;  ///< the written report's path (UTF-8)
  std::string message;                ///< why it failed
};

/// Where a folder run tells what it does. Every call comes on the thread that
/// called runFolder.
class FolderRunEvents {
 public:
  virtual ~FolderRunEvents() = default;
  /// Another run holds the output folder's lock: this one waits for it.
  virtual void waitingForFolder(const std::string& folder) = 0;
  /// A given path that stands for no log ("<folder>: <message>"); these come
  /// before any log's outcome.
  virtual void inputProblem(const std::string& message) = 0;
  /// One log's outcome, in input order, whatever order the logs were done in.
  virtual void done(const LogOutcome& outcome) = 0;
  /// The counts so far, a few times a second while logs are still being done.
  virtual void progress(const BatchCounts&) {}
};

/// How a folder run ended.
struct FolderRunResult {
  BatchCounts counts;
  std::optional<std::string> lockFailure;   ///< why the folder's lock could not be taken: nothing was done
  /// Why the index, or a picture a report in the folder shows, could not be
  /// stored: a message each.
  std::vector<std::string> indexFailures;
  bool failed = false;                      ///< an input, a log or the index failed
  bool cancelled = false;                   ///< the run was cancelled before every log was done
};

/// Writes each log's report, match record and pictures into the folder, under
/// names that never replace another log's report, then the index page.
/// Runs into one folder take turns (FolderLock, over all processes): one that
/// finds the folder taken tells waitingForFolder and waits.
FolderRunResult runFolder(const FolderRun& run, FolderRunEvents& events);

}  // namespace fragtally
