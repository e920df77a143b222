#pragma once

#include <string>
#include <string_view>

namespace fragtally {

/// What a line feed in the text stands for when it is shown.
enum class LineFeeds { escaped, kept };

/// The text as it may be printed to a terminal or put in a message: each
/// control byte (0x00-0x1F, 0x7F) is written as "\x" and two lower-case hex
/// digits, every other byte stays as it is. File names and log text come from
/// outside; printed raw, an escape sequence in one retitles or repaints the
/// terminal it is shown on. Text without a control byte comes back unchanged,
/// byte for byte. `LineFeeds::kept` leaves "\n" alone for a message of several
/// lines.
std::string printableText(std::string_view text, LineFeeds lineFeeds = LineFeeds::escaped);

}  // namespace fragtally
