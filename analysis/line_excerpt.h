#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/line_marker_texts.h"
#include "base/text.h"

namespace fragtally {

/// What interpretation can reach of a line too long to hold, taken in while the
/// line is read: its first kHead bytes, and from the first occurrence of every
/// marker and landmark on, the kReach bytes that a cut may read from there.
/// Kept parts that do not meet in the line are joined by an LF, which no line
/// holds and no search looks for, so nothing is found across a join and no cut
/// reaches one. Interpreted, the excerpt gives what the whole line gives.
///
/// What the cuts read of a long line (0-based offsets):
/// - from its start, the first 255 bytes when a landmark is missing; the date,
///   from byte 2, cut at 255, and a UTF-8 character that the cut falls in, up
///   to byte 259; the time of a stamp without " - ", 255 bytes from byte 4: so
///   bytes 0 to 259;
/// - the map and the killer's name, 255 bytes behind the first double quote;
///   the scores, 255 from the first "("; the victim, the weapon and the teams,
///   255 from the first "killed", "with" and "<CT>";
/// - the time, 255 bytes from 3 behind the first " - " from byte 2 on;
/// - of the first ": " its place only, of the markers only whether they occur.
class LineExcerpt {
 public:
  /// A line without a landmark is cut from its start (255 characters), a
  /// stamp without " - " gives the time from the line's fifth character on,
  /// and the last character of a cut date may reach one byte further.
  static constexpr std::size_t kHead = static_cast<std::size_t>(kRestLimit) + 5;
  /// The farthest a cut reads from its landmark: the time, 3 + 255 characters
  /// from its " - ".
  static constexpr std::size_t kReach = kDateEnd.size + static_cast<std::size_t>(kRestLimit);

  /// Starts a new line.
  void start();
  /// Takes the line's next bytes (no line end among them).
  void add(std::string_view bytes);
  /// The excerpt, once the whole line has been added; valid until start().
  std::string_view finish();

 private:
  // Every landmark searched for in the whole line.
  static constexpr std::size_t kLandmarks = kMarkerKinds + 6;
  // A match is known once its last byte has been seen: the bytes of the line
  // less than this far back are kept pending until then.
  static constexpr std::size_t kPending = longestSearchedText() - 1;
  static constexpr std::uint64_t kNone = ~std::uint64_t{0};

  void search(std::string_view text, std::uint64_t offset);
  // Keeps or drops the bytes from decided_ up to `to`: the pending ones, then
  // those of `bytes`, which start at offset `bytesAt` of the line.
  void decide(std::uint64_t to, std::string_view bytes, std::uint64_t bytesAt);
  void keep(std::uint64_t from, std::uint64_t to, std::string_view bytes, std::uint64_t bytesAt);

  std::string kept_;
  std::array<std::uint64_t, kLandmarks> found_{};  // first occurrences, offsets in the line
  std::uint64_t seen_ = 0;     // bytes of the line taken in
  std::uint64_t decided_ = 0;  // bytes before this are kept or dropped
  std::uint64_t keptEnd_ = 0;  // the line offset behind the last kept byte
  std::array<char, kPending> pending_{};  // the bytes from decided_ to seen_
};

}  // namespace fragtally
