#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fragtally::serve {

/// "Sun, 06 Nov 1994 08:49:37 GMT", the one date form HTTP/1.1 sends.
std::string httpDate(std::int64_t unixSeconds);

/// Reads that form back (as a browser returns Last-Modified in
/// If-Modified-Since); nothing for any other text.
std::optional<std::int64_t> parseHttpDate(std::string_view text);

}  // namespace fragtally::serve
