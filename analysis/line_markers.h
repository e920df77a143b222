#pragma once

#include <cstddef>
#include <string_view>

#include "analysis/block_scan.h"

namespace fragtally {

/// Which event markers occur anywhere in a log line.
struct LineMarkers {
  bool startedMap = false;  ///< "Started map"
  bool roundEnd = false;    ///< "triggered \"Terrorists_Win\"" or "triggered \"CTs_Win\""
  /// Offset of the line's first "killed", or npos.
  std::size_t killedAt = std::string_view::npos;

  bool killed() const { return killedAt != std::string_view::npos; }
};

/// Finds all markers of a line on its own, each searched for in the whole line.
/// The line reader finds them in its one scan (scanLine) instead; this serves a
/// single line and the few lines that a chunk border cuts.
LineMarkers findLineMarkers(std::string_view line);

/// The first line of a text and the markers in it, found together.
struct LineScan {
  /// Offset of the text's first CR or LF, or npos when it holds none.
  std::size_t end = std::string_view::npos;
  /// The markers of the text before `end`; meaningless when `end` is npos.
  LineMarkers markers;
};

/// One pass that finds where the first line of `text` ends and the markers in
/// that line: the line reader would otherwise go over every line twice. The
/// kScanOverhang bytes behind `text` must be readable (their values do not
/// matter).
LineScan scanLine(std::string_view text);

/// The scan behind scanLine, in the widest blocks this processor takes: a
/// caller that scans line after line keeps it and calls it directly.
BlockScanner fastestBlockScanner();

/// What a block scan of `size` bytes found, as a LineScan.
inline LineScan lineScanOf(const BlockScan& found, std::size_t size) {
  LineScan scan;
  if (found.end == size) return scan;
  scan.end = found.end;
  scan.markers.startedMap = found.startedMap;
  scan.markers.roundEnd = found.roundEnd;
  if (found.killedAt != size) scan.markers.killedAt = found.killedAt;
  return scan;
}

}  // namespace fragtally
