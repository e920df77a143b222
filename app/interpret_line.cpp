#include "app/interpret_line.h"

#include "app/parse_kill_line.h"
#include "base/text.h"
#include "stats/match_stats.h"

namespace fragtally {

void interpretLine(MatchStats& stats, std::string_view line) {
  // Every line carries "L " and the stamp up to its first ": ".
  const TextPos separator = posOf(": ", line);
  stats.updateTimeWindow(copyText(line, 3, separator - 3));

  if (contains(line, "Started map")) {
    stats.setMapName(restFrom(line, posOf('"', line) + 1));
  }
  if (contains(line, "triggered \"Terrorists_Win\"") || contains(line, "triggered \"CTs_Win\"")) {
    stats.setRoundScores(restFrom(line, posOf('(', line)));
  }
  if (contains(line, "killed")) parseKillLine(stats, line);
}

}  // namespace fragtally
