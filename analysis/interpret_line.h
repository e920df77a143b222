#pragma once

#include <string_view>

namespace fragtally {

class MatchStats;
struct LineMarkers;

/// Interprets one log line (without its line end) into the match statistics: the time
/// stamp always, then a map start, a round end and a kill, each where its
/// marker occurs anywhere in the line. Throws notAnInteger for a bad time or score.
void interpretLine(MatchStats& stats, std::string_view line);
/// The same, for a line whose markers are already known.
void interpretLine(MatchStats& stats, std::string_view line, const LineMarkers& markers);

}  // namespace fragtally
