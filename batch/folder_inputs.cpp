#include "batch/folder_inputs.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "base/ascii.h"
#include "base/error.h"
#include "base/file.h"
#include "base/log_files.h"
#include "base/same_file.h"

namespace fragtally {
namespace {

// Appends the folder's logs in name order (byte order of the UTF-8 names, the
// same on every system); false when the folder cannot be listed.
bool appendFolderLogs(const std::filesystem::path& folder, std::vector<std::string>& logs) {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  if (error) return false;
  std::vector<std::string> names;
  for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    if (error) return false;
    const std::filesystem::directory_entry& entry = *entries;
    // A link to nothing is listed too: reading it fails, and the run says so.
    if (logEntryKind(entry) != LogEntryKind::other) names.push_back(utf8FromPath(entry.path().filename()));
  }
  if (error) return false;
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) logs.push_back(utf8FromPath(folder / pathFromUtf8(name)));
  return true;
}

}  // namespace

FolderInputs expandFolderInputs(const std::vector<std::string>& paths) {
  FolderInputs inputs;
  for (const std::string& given : paths) {
    const std::filesystem::path path = pathFromUtf8(given);
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
      inputs.logs.push_back(given);  // a log, or a path whose failure the analysis reports
    } else if (!appendFolderLogs(path, inputs.logs)) {
      inputs.problems.push_back(given + ": " + userMessage(cannotOpenFile(given).what()));
    }
  }
  return inputs;
}

std::string foldedFileName(std::string name) {
#ifdef _WIN32
  return asciiLower(name);
#else
  return name;
#endif
}

std::set<std::string> logNamesIn(const std::filesystem::path& folder, const std::vector<std::string>& logs) {
  std::set<std::string> names;
  // The logs of a run mostly share a few folders: each is compared once.
  std::map<std::filesystem::path, bool> isTheFolder;
  for (const std::string& log : logs) {
    const std::filesystem::path path = pathFromUtf8(log);
    const std::filesystem::path parent = path.parent_path().empty() ? "." : path.parent_path();
    auto known = isTheFolder.find(parent);
    if (known == isTheFolder.end()) known = isTheFolder.emplace(parent, isSameFile(parent, folder)).first;
    if (known->second) names.insert(foldedFileName(utf8FromPath(path.filename())));
  }
  return names;
}

}  // namespace fragtally
