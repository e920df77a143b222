#pragma once

#include <filesystem>

namespace fragtally {

/// Whether a file's name ends in ".log" in any letter case, as the server
/// names its logs.
bool hasLogFileName(const std::filesystem::path& file);

/// What an entry of a logs folder is to the parts that read every log in it
/// (the folder run, the follow mode).
enum class LogEntryKind {
  log,         ///< a regular file of a log's name, or a link to one
  brokenLink,  ///< a link of a log's name to nothing that can be looked at: a log that cannot be read
  other,       ///< anything else: another name, a folder, a device, a pipe
};
LogEntryKind logEntryKind(const std::filesystem::directory_entry& entry);

}  // namespace fragtally
