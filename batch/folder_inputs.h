#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fragtally {

/// The logs a folder run reads, in the order it reports them.
struct FolderInputs {
  std::vector<std::string> logs;      ///< UTF-8 paths, as given or as found in a folder
  std::vector<std::string> problems;  ///< "<folder>: <message>" for a folder that cannot be listed
};

/// Each path stands for itself, or, when it is a folder, for every log directly
/// in it (a regular file whose name ends in ".log" in any letter case, or a
/// link to one), in name order. A link of such a name to nothing is listed as
/// well, so that the run reports it as a log it cannot open. Sub-folders,
/// devices and pipes in a folder are passed over.
FolderInputs expandFolderInputs(const std::vector<std::string>& paths);

/// The file names of the logs that lie directly in `folder` (however their
/// folder is written), each as foldedFileName gives it: the names an output
/// of the run must not take.
std::set<std::string> logNamesIn(const std::filesystem::path& folder, const std::vector<std::string>& logs);

/// A file name as the file system compares it: in lower case on Windows,
/// whose names do not tell letter case apart; as it is elsewhere.
std::string foldedFileName(std::string name);

}  // namespace fragtally
