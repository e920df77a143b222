#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace fragtally {

/// A run over many logs into one output folder.
struct FolderRun {
  std::vector<std::string> paths;  ///< logs or folders (a folder: its *.log files, in name order)
  std::string folder;              ///< the output folder
  bool force = false;              ///< redo logs whose record says they are up to date
  unsigned jobs = 0;               ///< logs analysed at once; 0: every hardware thread
  bool rebuildIndex = true;        ///< rebuild the folder's index page at the end
  bool progress = false;           ///< an updating progress line on `err` (a terminal)
  bool summary = true;             ///< the closing count of written, up-to-date and failed logs
};

/// Writes each log's report, match record and pictures into the folder, under
/// names that never replace another log's report, then the index page. The
/// paths of written reports go to `out` in input order; each failure goes to
/// `err` as "<log>: <message>". Returns 0, or 1 when anything failed.
/// Runs into one folder take turns (FolderLock, over all processes): one that
/// finds the folder taken says "waiting for another run writing to <folder>"
/// on `err` and waits.
int runFolder(const FolderRun& run, std::ostream& out, std::ostream& err);

}  // namespace fragtally
