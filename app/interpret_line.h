#pragma once

#include <string_view>

namespace fragtally {

class MatchStats;

/// Interprets one log line (without its line end) into the record: the time
/// stamp always, then a map start, a round end and a kill, each where its
/// marker occurs anywhere in the line. Throws notAnInteger for a bad time or score.
void interpretLine(MatchStats& stats, std::string_view line);

}  // namespace fragtally
