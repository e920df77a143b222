#pragma once

#include <string_view>

namespace fragtally {

/// Which event markers occur anywhere in a log line.
struct LineMarkers {
  bool startedMap = false;  ///< "Started map"
  bool roundEnd = false;    ///< "triggered \"Terrorists_Win\"" or "triggered \"CTs_Win\""
  bool killed = false;      ///< "killed"
};

/// Finds all markers in one pass over the line: every line of a log is tested
/// for each of them, and this is the program's hottest loop.
LineMarkers findLineMarkers(std::string_view line);

}  // namespace fragtally
