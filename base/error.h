#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace fragtally {

/// Every failure of the program: its what() is the exact message for the user,
/// as a byte string (it may quote log bytes).
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

/// "Cannot open file <path>" ("Cannot open file ''." for an empty path)
[[nodiscard]] Error cannotOpenFile(std::string_view path);
/// "Cannot create file <path>"
[[nodiscard]] Error cannotCreateFile(std::string_view path);
/// "Cannot create file <path>: it is the log being read"
[[nodiscard]] Error outputIsTheLog(std::string_view path);
/// "Cannot create file <path>: the run writes another file there"
[[nodiscard]] Error outputWrittenTwice(std::string_view path);
/// "'<text>' is not a valid integer value"
[[nodiscard]] Error notAnInteger(std::string_view text);

/// What a user sees for an error message: a full stop is appended when the last
/// byte (as an unsigned byte) is greater than '.'; an empty message stays empty.
std::string userMessage(std::string_view message);

}  // namespace fragtally
