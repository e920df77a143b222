#include "stats/match_stats.h"

#include "base/number.h"
#include "base/text.h"

namespace fragtally {

std::int32_t secondsOfTime(std::string_view time) {
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
  const TextPos dash = posOf(" - ", stamp);
  date = copyText(stamp, 1, dash - 1);
  const std::string_view time = restFrom(stamp, dash + 3);
  if (startTime.empty()) startTime = time;
  if (endTime.empty()) endTime = time;
  // The end time is read before the new time: that order decides which piece a
  // failure names.
  if (endTime.empty() || endTime != endSecondsText_) {
    endSeconds_ = secondsOfTime(endTime);
    endSecondsText_ = endTime;
  }
  const std::int32_t timeSeconds = secondsOfTime(time);
  if (endSeconds_ < timeSeconds) {
    endTime = time;
    endSecondsText_ = endTime;
    endSeconds_ = timeSeconds;
  }
}

}  // namespace fragtally
