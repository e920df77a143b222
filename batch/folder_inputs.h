#pragma once

#include <string>
#include <vector>

namespace fragtally {

/// The logs a folder run reads, in the order it reports them.
struct FolderInputs {
  std::vector<std::string> logs;      ///< UTF-8 paths, as given or as found in a folder
  std::vector<std::string> problems;  ///< "<folder>: <message>" for a folder that cannot be listed
};

/// Each path stands for itself, or, when it is a folder, for every regular file
/// directly in it whose name ends in ".log" in any letter case, in name order.
/// Sub-folders, devices and pipes in a folder are passed over.
FolderInputs expandFolderInputs(const std::vector<std::string>& paths);

}  // namespace fragtally
