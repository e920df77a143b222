#pragma once

// What the block scans of a line report, in plain values: shared by the files
// built for each instruction set, which include nothing else.
#include <cstddef>

namespace fragtally {

/// What a scan of `size` bytes finds.
struct BlockScan {
  std::size_t end;       ///< offset of the first CR or LF; `size` when there is none
  bool startedMap;       ///< "Started map" before `end`
  bool roundEnd;         ///< a round-end marker before `end`
  std::size_t killedAt;  ///< offset of the first "killed" before `end`; `size` when none
};

/// Bytes that a block scan may read behind the text it is given.
inline constexpr std::size_t kScanOverhang = 64;

/// A scan of the `size` bytes at `data`, which may read kScanOverhang bytes
/// behind them.
using BlockScanner = BlockScan (*)(const char* data, std::size_t size);

}  // namespace fragtally
