#include <gtest/gtest.h>

#include "base/printable.h"

namespace fragtally {
namespace {

using namespace std::string_literals;

TEST(PrintableTextTest, ControlBytesAreWrittenAsHexEscapes) {
  // A file name that would retitle the terminal it is printed on.
  EXPECT_EQ(printableText("e\x1b]0;PWNED\a.log"), "e\\x1b]0;PWNED\\x07.log");
  EXPECT_EQ(printableText("a\0b"s), "a\\x00b");
  EXPECT_EQ(printableText("\x7f\x1f\t\r\n"), "\\x7f\\x1f\\x09\\x0d\\x0a");
  EXPECT_EQ(printableText("one\ntwo\r\n", LineFeeds::kept), "one\ntwo\\x0d\n");
}

TEST(PrintableTextTest, OrdinaryTextStaysByteForByte) {
  for (const std::string& text : {"/srv/logs/L1208007.log"s, "C:\\logs\\x.log"s, "\xD0\xBB\xC4\xE9 \x80\x9F\xFF"s, ""s,
                                 "'9:' is not a valid integer value."s}) {
    EXPECT_EQ(printableText(text), text);
  }
}

}  // namespace
}  // namespace fragtally
