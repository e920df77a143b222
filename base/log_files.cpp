#include "base/log_files.h"

#include <system_error>

#include "base/ascii.h"
#include "base/file.h"
#include "base/output_names.h"

namespace fragtally {

bool hasLogFileName(const std::filesystem::path& file) {
  return equalIgnoringAsciiCase(utf8FromPath(file.extension()), kLogExtension);
}

LogEntryKind logEntryKind(const std::filesystem::directory_entry& entry) {
  if (!hasLogFileName(entry.path().filename())) return LogEntryKind::other;
  std::error_code error;
  // The listing gives the kind of all but a link: a folder of ten thousand
  // logs is not looked at file by file. A link's target is looked at.
  if (entry.is_regular_file(error) && !error) return LogEntryKind::log;
  const std::filesystem::file_status target = entry.status(error);  // links followed
  if (!error && std::filesystem::is_regular_file(target)) return LogEntryKind::log;
  // A link that leads nowhere is a log the server names but nobody can read:
  // passing it over would hide that.
  if (error || target.type() == std::filesystem::file_type::not_found) {
    std::error_code linkError;
    if (entry.is_symlink(linkError) && !linkError) return LogEntryKind::brokenLink;
  }
  return LogEntryKind::other;
}

}  // namespace fragtally
