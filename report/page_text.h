#pragma once

#include <string>
#include <string_view>

namespace fragtally {

/// Appends a text that comes from the log or the user (names, map, date,
/// times, the log path) to the Windows-1251 page. A text with bytes of 0x80 or
/// above that is valid UTF-8 is converted: each character to its Windows-1251
/// byte, or to "&#N;" where the code page lacks it; any other text keeps its
/// bytes (a legacy Windows-1251 name stays as it is). In both cases & < > and "
/// become entities, so that no log text can add markup to the page.
void appendPageText(std::string& page, std::string_view text);

/// Appends a text from the log or the user to a UTF-8 page: as utf8FromLogText
/// reads it, with & < > " and ' as references and control characters as
/// U+FFFD, so that no log text can add markup to the page.
void appendUtf8PageText(std::string& page, std::string_view text);

/// A text from the log as UTF-8, read as the page reads it: valid UTF-8 stays
/// as it is, any other text is taken byte by byte as Windows-1251.
std::string utf8FromLogText(std::string_view text);

}  // namespace fragtally
