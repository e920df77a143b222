#include "win/win_text.h"

#include <gtest/gtest.h>

namespace fragtally {
namespace {

TEST(WinTextTest, PathsTravelBetweenUtf8AndUtf16) {
  EXPECT_EQ(wideFromUtf8("Z:\\logs\\game.log"), L"Z:\\logs\\game.log");
  EXPECT_EQ(wideFromUtf8("C:\\\xD0\x9B\xD0\xBE\xD0\xB3\xD0\xB8\\a.log"), L"C:\\\u041B\u043E\u0433\u0438\\a.log");
  EXPECT_EQ(utf8FromWide(L"C:\\\u041B\u043E\u0433\u0438\\a.log"), "C:\\\xD0\x9B\xD0\xBE\xD0\xB3\xD0\xB8\\a.log");
  EXPECT_EQ(wideFromUtf8(""), L"");
  EXPECT_EQ(utf8FromWide(L""), "");
  // A lone surrogate has no UTF-8 form.
  EXPECT_EQ(utf8FromWide(std::wstring(1, wchar_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(WinTextTest, MessagesAreUtf8WhenValidElseWindows1251) {
  // A path quoted by "Cannot open file" is UTF-8.
  EXPECT_EQ(wideFromMessage("Cannot open file C:\\\xD0\x9B\xD0\xBE\xD0\xB3\xD0\xB8\\a.log."),
            L"Cannot open file C:\\\u041B\u043E\u0433\u0438\\a.log.");
  // Log bytes quoted by the number reading are Windows-1251: 0xC4 is "Д".
  EXPECT_EQ(wideFromMessage("'\xC4" "9' is not a valid integer value."), L"'\u04149' is not a valid integer value.");
  // 0xD0 starts a two-byte UTF-8 sequence, but nothing follows it: "Р".
  EXPECT_EQ(wideFromMessage("\xD0"), L"\u0420");
  EXPECT_EQ(wideFromMessage("'' is not a valid integer value."), L"'' is not a valid integer value.");
  EXPECT_EQ(wideFromMessage(""), L"");
}

TEST(WinTextTest, SystemErrorTexts) {
  const std::string notFound = systemErrorText(2);  // ERROR_FILE_NOT_FOUND
  ASSERT_FALSE(notFound.empty());
  EXPECT_NE(notFound.back(), '\n');
  EXPECT_NE(notFound.back(), '\r');
  EXPECT_NE(notFound.back(), ' ');
  // A code the system has no text for.
  EXPECT_EQ(systemErrorText(0xDEADBEEF), "error 3735928559");
}

}  // namespace
}  // namespace fragtally
