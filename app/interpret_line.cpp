#include "app/interpret_line.h"

#include "app/line_markers.h"
#include "app/parse_kill_line.h"
#include "base/text.h"
#include "stats/match_stats.h"

namespace fragtally {

void interpretLine(MatchStats& stats, std::string_view line) {
  interpretLine(stats, line, findLineMarkers(line));
}

void interpretLine(MatchStats& stats, std::string_view line, const LineMarkers& markers) {
  // Every line carries "L " and the stamp up to its first ": " (none when the
  // ": " is missing or stands before the third character).
  const std::size_t separatorAt = findText(line, ": ");
  const bool hasStamp = separatorAt != std::string_view::npos && separatorAt > 2;
  stats.updateTimeWindow(hasStamp ? line.substr(2, separatorAt - 2) : std::string_view());

  // Each marker may occur anywhere in the line; a line with several gets every
  // treatment, in this order.
  if (markers.startedMap) stats.setMapName(restFrom(line, posOf('"', line) + 1));
  if (markers.roundEnd) stats.setRoundScores(restFrom(line, posOf('(', line)));
  if (markers.killed()) parseKillLine(stats, line, markers.killedAt);
}

}  // namespace fragtally
