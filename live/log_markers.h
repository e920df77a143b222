#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fragtally::live {

/// The first line of every log a server writes: "L <stamp>: Log file started ...".
bool startsLog(std::string_view line);
/// The last line of a log that was not cut off: "L <stamp>: Log file closed".
bool closesLog(std::string_view line);

/// Whether the line begins with a well-formed time stamp,
/// "L MM/DD/YYYY - hh:mm:ss: " (digits where the letters stand).
bool hasTimeStamp(std::string_view line);
/// Whether a CR or LF stands inside the line, before its line end ("\n",
/// "\r\n", "\r" or none).
bool breaksInside(std::string_view line);

/// The line's time stamp for a file name: "L 12/08/2026 - 07:14:02: ..." gives
/// "2026-12-08_07-14-02"; nothing when the line has no well-formed stamp.
std::optional<std::string> stampForFileName(std::string_view line);

}  // namespace fragtally::live
