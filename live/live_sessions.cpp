#include "live/live_sessions.h"

#include <system_error>
#include <utility>

#include "base/error.h"
#include "live/activity_log.h"
#include "live/log_markers.h"

namespace fragtally::live {
namespace {

// For a log whose first line has no stamp: this machine's time.
std::string stampOfNow() { return localTimeNow("%Y-%m-%d_%H-%M-%S"); }

}  // namespace

LiveSessions::LiveSessions(std::filesystem::path logsFolder, SessionTimes times, std::size_t maxSources,
                           MatchOutputs& outputs, ActivityLog& activity, RawWrite write)
    : logsFolder_(std::move(logsFolder)),
      times_(times),
      maxSources_(maxSources),
      outputs_(outputs),
      activity_(activity),
      write_(std::move(write)),
      syncer_(activity) {}

LiveSessions::~LiveSessions() = default;

std::optional<DropReason> LiveSessions::takeLine(const Endpoint& endpoint, std::string_view line,
                                                Clock::time_point now) {
  if (line.empty()) return std::nullopt;
  auto found = sources_.find(endpoint);
  if (found == sources_.end()) {
    // A closing line alone would start a log only to finish it, with a report
    // and the index rebuilt each time: a stream of them would keep the outputs
    // busy far beyond a stop.
    if (closesLog(line)) return DropReason::strayClose;
    if (sources_.size() >= maxSources_) return DropReason::tooManySources;
    found = sources_.emplace(endpoint, Source{}).first;
  }
  Source& source = found->second;
  if (source.raw.isOpen() && startsLog(line)) finishLog(source, FinishReason::newLog);
  if (!source.raw.isOpen()) {
    try {
      startLog(endpoint, source, line);
    } catch (const Error& error) {
      // The line cannot be kept; the next one tries again, without repeating
      // the message for every datagram.
      if (!createFailureShown_) activity_.write(userMessage(error.what()));
      createFailureShown_ = true;
      sources_.erase(found);
      return std::nullopt;
    }
    createFailureShown_ = false;
  }
  noteWrite(source, source.raw.append(line));
  source.lastLine = now;
  source.changed = true;
  if (closesLog(line)) {
    finishLog(source, FinishReason::closed);
    sources_.erase(found);
  }
  return std::nullopt;
}

void LiveSessions::startLog(const Endpoint& endpoint, Source& source, std::string_view firstLine) {
  const IpAddress address = withoutIpv4Mapping(endpoint.address);
  const std::string stem = addressForFileName(address) + "_" + std::to_string(endpoint.port) + "_" +
                           stampForFileName(firstLine).value_or(stampOfNow());
  source.raw = RawLogFile::createNew(logsFolder_, stem, write_);
  source.refreshed = false;
  source.changed = false;
  source.failureShown = false;
  source.lostTold = 0;
}

void LiveSessions::finishLog(Source& source, FinishReason reason) {
  noteWrite(source, source.raw.flush());
  syncer_.sync(source.raw);
  noteWrite(source, source.raw.close());
  // Lost lines still leave a log of whole lines: the match gets its report.
  tellLinesLost(source, "ends");
  outputs_.finish(source.raw.path(), reason);
  source.raw = RawLogFile();
  source.changed = false;
}

void LiveSessions::noteWrite(Source& source, bool written) {
  if (written) {
    // The disk has room again: the lines lost meanwhile are counted once.
    if (source.failureShown) tellLinesLost(source, "is written again");
    source.failureShown = false;
    return;
  }
  // Once for every time the writes fail: a full disk fails every line after the first.
  if (source.failureShown) return;
  source.failureShown = true;
  const std::string cause = std::generic_category().message(source.raw.lastError());
  activity_.write(userMessage(std::string(cannotCreateFile(source.raw.path()).what()) + ": " + cause) +
                  " Its lines are lost until it can be written again.");
}

void LiveSessions::tellLinesLost(Source& source, const char* when) {
  const std::uint64_t lost = source.raw.linesLost() - source.lostTold;
  if (lost == 0) return;
  source.lostTold = source.raw.linesLost();
  activity_.write(source.raw.path() + " " + when + " with " + std::to_string(lost) +
                  (lost == 1 ? " line" : " lines") + " lost that could not be written");
}

void LiveSessions::flush() {
  for (auto& [endpoint, source] : sources_) {
    noteWrite(source, source.raw.flush());
  }
}

void LiveSessions::sync() {
  for (auto& [endpoint, source] : sources_) {
    noteWrite(source, source.raw.flush());
    syncer_.sync(source.raw);
  }
}

void LiveSessions::tick(Clock::time_point now) {
  for (auto it = sources_.begin(); it != sources_.end();) {
    Source& source = it->second;
    if (now - source.lastLine >= times_.idle) {
      finishLog(source, FinishReason::idle);
      it = sources_.erase(it);
      continue;
    }
    if (source.changed && (!source.refreshed || now - source.lastRefresh >= times_.refresh)) {
      noteWrite(source, source.raw.flush());
      outputs_.refresh(source.raw.path());
      source.lastRefresh = now;
      source.refreshed = true;
      source.changed = false;
    }
    ++it;
  }
}

void LiveSessions::finishAll() {
  for (auto& [endpoint, source] : sources_) finishLog(source, FinishReason::stopped);
  sources_.clear();
}

}  // namespace fragtally::live
