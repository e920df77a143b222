#include "live/log_follower.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "base/error.h"
#include "base/file.h"
#include "base/log_files.h"
#include "base/resolved_path.h"
#include "live/log_markers.h"

namespace fragtally::live {
namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;
// A closing line is short; a longer line start is not kept whole.
constexpr std::size_t kLineStartBytes = 128;

struct LogEntry {
  std::filesystem::path path;
  std::filesystem::file_time_type modified;
};

// Newest last: by modification time, then by name (the server numbers its logs).
bool olderThan(const LogEntry& a, const LogEntry& b) {
  return a.modified != b.modified ? a.modified < b.modified : a.path < b.path;
}

}  // namespace

LogFollower::LogFollower(std::filesystem::path logFolder, std::chrono::seconds refresh, MatchOutputs& outputs,
                         ActivityLog& activity, Clock::time_point now)
    : logFolder_(std::move(logFolder)), refresh_(refresh), outputs_(outputs), activity_(activity) {
  const std::vector<std::filesystem::path> present = newLogs();
  if (!present.empty()) followed_ = Followed{present.back(), 0, false, false, false, false, false, now};
  readNewLines();
}

std::vector<std::filesystem::path> LogFollower::newLogs() {
  std::vector<LogEntry> found;
  std::error_code error;
  std::filesystem::directory_iterator entries(logFolder_, error);
  if (error) {
    if (!folderMissingShown_) activity_.write("Cannot read folder " + utf8FromPath(logFolder_) + ": " + error.message());
    folderMissingShown_ = true;
    return {};
  }
  folderMissingShown_ = false;
  for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    if (error) break;
    const std::filesystem::directory_entry& entry = *entries;
    if (listed_.count(entry.path()) != 0) continue;
    std::error_code ignored;
    // Anything named as a log but a folder is one: a log that cannot be read
    // is told, not passed over.
    if (entry.is_directory(ignored) || !hasLogFileName(entry.path())) continue;
    if (logEntryKind(entry) == LogEntryKind::brokenLink) {
      // Said once; followed once it leads to a log.
      if (brokenShown_.insert(entry.path()).second) {
        activity_.write(userMessage(cannotOpenFile(utf8FromPath(entry.path())).what()));
        failed_ = true;
      }
      continue;
    }
    listed_.insert(entry.path());
    // A link and the log it leads to are one log, followed by the log's own path.
    std::filesystem::path log = resolvedPath(entry.path());
    if (!known_.insert(log).second) continue;
    found.push_back({std::move(log), entry.last_write_time(ignored)});
  }
  std::sort(found.begin(), found.end(), olderThan);
  std::vector<std::filesystem::path> paths;
  for (LogEntry& entry : found) paths.push_back(std::move(entry.path));
  return paths;
}

void LogFollower::readNewLines() {
  if (!followed_ || followed_->closed) return;
  Followed& log = *followed_;
  const FileLook look = lookAtFile(log.path);
  if (!look.exists) return;  // gone for a moment, or for good: a newer log ends it
  if (!look.regular) return cannotRead(log, "not a regular file");
  const std::uintmax_t size = look.bytes;
  if (size < log.wholeLinesEnd) log.wholeLinesEnd = 0;  // written anew
  // A log with nothing read yet is opened even when empty: one that cannot
  // be read is told at once.
  if (size == log.wholeLinesEnd && log.wholeLinesEnd > 0) return;

  errno = 0;
  std::ifstream file(log.path, std::ios::binary);
  if (!file.is_open()) {
    const int cause = errno;
    return cannotRead(log, cause != 0 ? std::generic_category().message(cause) : "it cannot be opened");
  }
  if (size == log.wholeLinesEnd) return;
  if (!file.seekg(static_cast<std::streamoff>(log.wholeLinesEnd))) return;
  std::string chunk(kChunkBytes, '\0');
  std::uintmax_t at = log.wholeLinesEnd;
  // The start of each line, enough of it to tell a closing line, also when
  // the line goes on into the next chunk.
  std::string lineStart;
  while (!log.closed) {
    file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<std::size_t>(file.gcount());
    if (got == 0) break;
    const std::string_view bytes(chunk.data(), got);
    std::size_t from = 0;
    for (std::size_t end = bytes.find('\n'); end != std::string_view::npos; end = bytes.find('\n', from)) {
      lineStart += bytes.substr(from, std::min(end + 1 - from, kLineStartBytes));
      if (closesLog(lineStart)) log.closed = true;
      lineStart.clear();
      log.changed = true;
      log.wholeLinesEnd = at + end + 1;
      from = end + 1;
      if (log.closed) break;
    }
    if (from < got) {
      const std::size_t room = kLineStartBytes - std::min(kLineStartBytes, lineStart.size());
      lineStart += bytes.substr(from, room);
    }
    at += got;
  }
}

void LogFollower::cannotRead(Followed& log, const std::string& why) {
  failed_ = true;
  // Once a log: it is looked at every second.
  if (log.unreadableShown) return;
  log.unreadableShown = true;
  activity_.write(userMessage(std::string(cannotOpenFile(utf8FromPath(log.path)).what()) + ": " + why));
}

void LogFollower::refreshFollowed(Clock::time_point now) {
  Followed& log = *followed_;
  if (log.changed && (!log.refreshed || now - log.lastRefresh >= refresh_)) {
    outputs_.refresh(utf8FromPath(log.path));
    log.changed = false;
    log.refreshed = true;
    log.lastRefresh = now;
  }
}

void LogFollower::pollOnce(Clock::time_point now) {
  const std::vector<std::filesystem::path> appeared = newLogs();
  if (!appeared.empty()) {
    readNewLines();
    if (followed_ && !followed_->finished) finishFollowed(followed_->closed ? FinishReason::closed : FinishReason::newLog);
    followed_ = Followed{appeared.back(), 0, false, false, false, false, false, now};
  }
  readNewLines();
  if (!followed_ || followed_->finished) return;
  if (followed_->closed) return finishFollowed(FinishReason::closed);
  refreshFollowed(now);
}

void LogFollower::finishFollowed(FinishReason reason) {
  Followed& log = *followed_;
  // A log without a single whole line has nothing to report yet.
  if (log.wholeLinesEnd > 0) outputs_.finish(utf8FromPath(log.path), reason);
  log.changed = false;
  log.finished = true;
}

void LogFollower::stop() {
  if (!followed_ || followed_->finished) return;
  readNewLines();
  if (followed_->closed) return finishFollowed(FinishReason::closed);
  if (followed_->changed) outputs_.refresh(utf8FromPath(followed_->path));
  followed_->changed = false;
}

std::optional<std::filesystem::path> LogFollower::followed() const {
  if (!followed_) return std::nullopt;
  return followed_->path;
}

}  // namespace fragtally::live
