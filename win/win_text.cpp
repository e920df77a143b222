#include "win/win_text.h"

#include <climits>
#include <iterator>

namespace fragtally {
namespace {

constexpr UINT kCodePage1251 = 1251;

// Strings longer than an int counts are far beyond anything a dialog or a
// message box shows; they are cut rather than overflowing the count.
int countOf(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

std::wstring toWide(UINT codePage, DWORD flags, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = MultiByteToWideChar(codePage, flags, bytes.data(), countOf(bytes.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, bytes.data(), countOf(bytes.size()), wide.data(), length);
  return wide;
}

}  // namespace

std::wstring wideFromUtf8(std::string_view utf8) { return toWide(CP_UTF8, 0, utf8); }

std::string utf8FromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), countOf(wide.size()), nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), countOf(wide.size()), utf8.data(), length, nullptr, nullptr);
  return utf8;
}

std::wstring wideFromMessage(std::string_view bytes) {
  if (bytes.empty()) return {};
  // With MB_ERR_INVALID_CHARS the conversion fails on any invalid sequence,
  // which is the test for "valid UTF-8".
  std::wstring wide = toWide(CP_UTF8, MB_ERR_INVALID_CHARS, bytes);
  return wide.empty() ? toWide(kCodePage1251, 0, bytes) : wide;
}

std::string systemErrorText(DWORD code) {
  wchar_t buffer[512];
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  std::wstring text(buffer, length);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  return text.empty() ? "error " + std::to_string(code) : utf8FromWide(text);
}

}  // namespace fragtally
