#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fragtally::live {

/// The server's lines are under 1 KB; anything much bigger is not its stream.
constexpr std::size_t kMaxDatagramBytes = 2048;

/// Why a datagram was not taken.
enum class DropReason {
  notAllowed,
  badHeader,
  wrongSecret,
  oversized,
  tooManySources,
  noTimeStamp,      // its line does not begin with "L MM/DD/YYYY - hh:mm:ss: "
  lineBreakInside,  // a CR or LF inside its line would split it in the raw log
  strayClose,       // a closing line of a source with no log open
};
constexpr std::size_t kDropReasonCount = 8;

/// What a datagram of the log stream carries: the line as the server writes it
/// to its file (line feed included), or why it is not one.
struct ParsedDatagram {
  std::string_view line;
  std::optional<DropReason> dropped;
};

/// Reads one datagram: FF FF FF FF "log " LINE \0, or, when the server has a
/// log secret, FF FF FF FF "S" SECRET LINE \0. With `secret` set only the second
/// form carrying exactly that secret is taken; without it only the first form.
/// The line must begin with a time stamp and hold no line break but its end:
/// the report reads the stamp of every line of a log, so one line without it
/// would cost the whole match its report. The returned line points into
/// `datagram`.
ParsedDatagram parseDatagram(std::string_view datagram, const std::optional<std::string>& secret);

}  // namespace fragtally::live
