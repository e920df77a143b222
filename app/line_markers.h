#pragma once

#include <cstddef>
#include <string_view>

namespace fragtally {

/// Which event markers occur anywhere in a log line.
struct LineMarkers {
  bool startedMap = false;  ///< "Started map"
  bool roundEnd = false;    ///< "triggered \"Terrorists_Win\"" or "triggered \"CTs_Win\""
  /// Offset of the line's first "killed", or npos.
  std::size_t killedAt = std::string_view::npos;

  bool killed() const { return killedAt != std::string_view::npos; }
};

/// Finds all markers in one pass over the line: every line of a log is tested
/// for each of them, and this is the program's hottest loop.
LineMarkers findLineMarkers(std::string_view line);

}  // namespace fragtally
