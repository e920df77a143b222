#pragma once

// Text conversions at the Win32 boundary: the program's texts are byte strings
// (paths in UTF-8), the W functions take UTF-16.

#include <windows.h>

#include <string>
#include <string_view>

namespace fragtally {

/// UTF-16 of UTF-8 bytes; an invalid sequence becomes U+FFFD.
std::wstring wideFromUtf8(std::string_view utf8);

/// UTF-8 of a UTF-16 text; a lone surrogate becomes U+FFFD.
std::string utf8FromWide(std::wstring_view wide);

/// UTF-16 of a message for the user. A message quotes paths (UTF-8) or bytes
/// of a log, which are Windows-1251 in the logs this program reads: the bytes
/// are read as UTF-8 when they are valid UTF-8, otherwise as Windows-1251.
std::wstring wideFromMessage(std::string_view bytes);

/// The system's text for a Win32 error code (GetLastError), in UTF-8, without
/// the line end the system puts after it; "error N" when it has none.
std::string systemErrorText(DWORD code);

}  // namespace fragtally
