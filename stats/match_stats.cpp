#include "stats/match_stats.h"

#include <cstring>

#include "base/number.h"
#include "base/text.h"

namespace fragtally {

std::int32_t secondsReadAsNumbers(std::string_view time) {
  const std::int32_t hours = readInteger(copyText(time, 1, 2));
  const std::int32_t minutes = readInteger(copyText(time, 4, 2));
  const std::int32_t seconds = readInteger(copyText(time, 7, 2));
  return hours * 3600 + minutes * 60 + seconds;
}

void MatchStats::setLogName(std::string_view path) { logName = path; }

void MatchStats::setMapName(std::string_view fragment) {
  if (!mapName.empty()) return;
  mapName = copyText(fragment, 1, posOf('"', fragment) - 1);
}

void MatchStats::setRoundScores(std::string_view fragment) {
  std::string_view rest = restFrom(fragment, posOf('"', fragment) + 1);
  ctWins = readInteger(copyText(rest, 1, posOf('"', rest) - 1));
  rest = restFrom(rest, posOf('(', rest) + 1);
  rest = restFrom(rest, posOf('"', rest) + 1);
  tWins = readInteger(copyText(rest, 1, posOf('"', rest) - 1));
}

void MatchStats::updateTimeWindow(std::string_view stamp) {
  const std::string_view last(lastStamp_.data(), lastStampSize_);
  const bool lastKept = lastStampKept_;
  if (lastKept && sameText(stamp, last)) return;
  lastStampKept_ = false;

  // The first " - " lies where it lay in the last stamp when everything up to
  // its end is the same; so does the date in front of it.
  TextPos dash = 0;
  if (lastKept && lastDash_ > 0) {
    const auto prefix = static_cast<std::size_t>(lastDash_ + 2);
    if (stamp.size() >= prefix && sameText(stamp.substr(0, prefix), last.substr(0, prefix))) dash = lastDash_;
  }
  if (dash == 0) {
    dash = posOf(" - ", stamp);
    date = copyText(stamp, 1, dash - 1);
  }
  const std::string_view time = restFrom(stamp, dash + 3);
  if (startTime.empty()) startTime = time;
  if (endTime.empty()) {
    endTime = time;
    endSecondsKnown_ = false;
  }
  // The end time is read before the new time: that order decides which piece a
  // failure names.
  if (!endSecondsKnown_) {
    endSeconds_ = secondsOfTime(endTime);
    endSecondsKnown_ = true;
  }
  const std::int32_t timeSeconds = secondsOfTime(time);
  if (endSeconds_ < timeSeconds) {
    endTime = time;
    endSeconds_ = timeSeconds;
  }
  if (const std::size_t size = stamp.size(); size <= lastStamp_.size()) {
    static_assert(kKeptStampSize <= 32);
    if (size >= 16) {  // the usual stamp: two fixed copies, the second overlapping
      std::memcpy(lastStamp_.data(), stamp.data(), 16);
      std::memcpy(lastStamp_.data() + size - 16, stamp.data() + size - 16, 16);
    } else if (size > 0) {  // an empty stamp may have no bytes to point at
      std::memcpy(lastStamp_.data(), stamp.data(), size);
    }
    lastStampSize_ = stamp.size();
    lastDash_ = dash;
    lastStampKept_ = true;
  }
}

}  // namespace fragtally
