#include "analysis/interpret_line.h"

#include <string>

#include "analysis/line_marker_texts.h"
#include "analysis/line_markers.h"
#include "analysis/parse_kill_line.h"
#include "base/text.h"
#include "base/utf8.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

constexpr std::string_view kStampEndText(kStampEnd.bytes, kStampEnd.size);
constexpr std::string_view kDateEndText(kDateEnd.bytes, kDateEnd.size);
constexpr auto kDateLimit = static_cast<std::size_t>(kRestLimit);

// A date is kept up to 255 characters, like every other piece of a line, so
// that no line is ever needed whole: a stamp whose " - " stands further out
// goes on with its date cut there, followed by the rest of the stamp as far as
// the time can reach. Kept out of the way of the usual line.
[[gnu::cold]] void updateTimeWindowOfLongStamp(MatchStats& stats, std::string_view stamp) {
  const std::size_t dashAt = findText(stamp, kDateEndText);
  if (dashAt == std::string_view::npos || dashAt <= kDateLimit) {
    stats.updateTimeWindow(stamp);
    return;
  }
  // A date in UTF-8 loses a character cut in two as a whole, so that it stays
  // UTF-8 and reads as the text it is; any other date keeps all its bytes.
  std::size_t dateSize = utf8CutAt(stamp, kDateLimit);
  // A cut date that ends in " -" would make a " - " with the one behind it.
  if (stamp[dateSize - 2] == ' ' && stamp[dateSize - 1] == '-') --dateSize;
  std::string cut(stamp.substr(0, dateSize));
  cut += stamp.substr(dashAt, kDateEnd.size + kDateLimit);
  stats.updateTimeWindow(cut);
}

}  // namespace

void interpretLine(MatchStats& stats, std::string_view line) {
  interpretLine(stats, line, findLineMarkers(line));
}

void interpretLine(MatchStats& stats, std::string_view line, const LineMarkers& markers) {
  // Every line carries "L " and the stamp up to its first ": " (none when the
  // ": " is missing or stands before the third character).
  const std::size_t separatorAt = findText(line, kStampEndText);
  const bool hasStamp = separatorAt != std::string_view::npos && separatorAt > 2;
  const std::string_view stamp = hasStamp ? line.substr(2, separatorAt - 2) : std::string_view();
  if (stamp.size() > kDateLimit) {
    updateTimeWindowOfLongStamp(stats, stamp);
  } else {
    stats.updateTimeWindow(stamp);
  }

  // Each marker may occur anywhere in the line; a line with several gets every
  // treatment, in this order.
  if (markers.startedMap) stats.setMapName(restFrom(line, posOf('"', line) + 1));
  if (markers.roundEnd) stats.setRoundScores(restFrom(line, posOf('(', line)));
  if (markers.killed()) parseKillLine(stats, line, markers.killedAt);
}

}  // namespace fragtally
