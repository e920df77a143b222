#pragma once

#include <cstddef>
#include <cstdint>

namespace fragtally {

/// What became of one log of a folder run.
enum class LogOutcomeKind {
  written,   // its report, record and pictures are stored
  upToDate,  // its record shows the log as it is: nothing was done
  failed,    // nothing or not everything could be stored
};

/// The counts of a folder run so far, from which a front end draws its
/// progress and its summary.
struct BatchCounts {
  std::size_t logs = 0;           ///< every log of the run
  std::size_t written = 0;
  std::size_t upToDate = 0;
  std::size_t failed = 0;
  std::uint64_t bytesToRead = 0;  ///< the sizes of the logs that are not up to date
  std::uint64_t bytesRead = 0;    ///< of those, of the logs done so far

  std::size_t done() const { return written + upToDate + failed; }
  /// Counts one log's outcome; `bytes` is the log's size, read unless it was up to date.
  void count(LogOutcomeKind kind, std::uint64_t bytes);
};

}  // namespace fragtally
