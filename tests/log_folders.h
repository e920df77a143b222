#pragma once

// Folders of logs as the tests of runs over a folder lay them out.

#include <filesystem>
#include <string_view>

#include "tests/test_files.h"

namespace fragtally::testing {

/// Writes a file as writeFile does, making its folders first: a log in a
/// server's own sub-folder of the folder a run reads.
inline void writeFileMakingFolders(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::create_directories(file.parent_path());
  writeFile(file, bytes);
}

}  // namespace fragtally::testing
