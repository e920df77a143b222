#include <gtest/gtest.h>

#include <string>

#include "base/error.h"
#include "base/text.h"
#include "base/text_search.h"

namespace fragtally {
namespace {

TEST(TextTest, PositionIsOneBasedAndZeroWhenAbsent) {
  EXPECT_EQ(posOf(": ", "L 10/25/2003 - 21:13:45: x"), 24);
  EXPECT_EQ(posOf('"', "\"a\""), 1);
  EXPECT_EQ(posOf("killed", "nothing here"), 0);
  EXPECT_EQ(posOf('<', ""), 0);
}

TEST(TextTest, CopyClampsStartAndCount) {
  EXPECT_EQ(copyText("abcdef", 2, 3), "bcd");
  EXPECT_EQ(copyText("abcdef", 0, 2), "ab");    // a start below 1 counts as 1
  EXPECT_EQ(copyText("abcdef", -5, 2), "ab");
  EXPECT_EQ(copyText("abcdef", 5, 100), "ef");  // as many as exist
  EXPECT_EQ(copyText("abcdef", 7, 1), "");      // beyond the end
  EXPECT_EQ(copyText("abcdef", 1, 0), "");
  EXPECT_EQ(copyText("abcdef", 1, -1), "");
}

TEST(TextTest, RestIsCutAt255Characters) {
  const std::string long_text(300, 'x');
  EXPECT_EQ(restFrom(long_text, 1).size(), 255u);
  EXPECT_EQ(restFrom(long_text, 50).size(), 251u);
}

// The offset forms of the cuts give what the position forms give, for a needle
// found anywhere (up to the last character) or not at all.
TEST(TextTest, OffsetCutsAgreeWithPositionCuts) {
  const std::string text = std::string(260, 'a') + "\"b<c";
  for (std::size_t at = 0; at <= text.size(); ++at) {
    const std::size_t offset = at == text.size() ? std::string_view::npos : at;
    const TextPos position = offset == std::string_view::npos ? 0 : static_cast<TextPos>(offset) + 1;
    EXPECT_EQ(restBehind(text, offset), restFrom(text, position + 1)) << at;
    EXPECT_EQ(restAt(text, offset), restFrom(text, position)) << at;
    EXPECT_EQ(textBefore(text, offset), copyText(text, 1, position - 1)) << at;
  }
  EXPECT_EQ(restBehind("", std::string_view::npos), "");
  EXPECT_EQ(textBefore("", std::string_view::npos), "");
}

TEST(ErrorTest, FullStopOnlyAfterBytesAboveTheFullStop) {
  EXPECT_EQ(userMessage("'9:' is not a valid integer value"), "'9:' is not a valid integer value.");
  EXPECT_EQ(userMessage("Cannot open file /tmp/a.log"), "Cannot open file /tmp/a.log.");
  EXPECT_EQ(userMessage("ends with a full stop."), "ends with a full stop.");
  EXPECT_EQ(userMessage("ends with a comma,"), "ends with a comma,");
  EXPECT_EQ(userMessage("ends with a slash/"), "ends with a slash/.");  // '/' is 0x2F
  EXPECT_EQ(userMessage(""), "");
  // A path ending in a Cyrillic letter: the last byte is above 0x7F.
  EXPECT_EQ(userMessage("Cannot open file /logs/\xD0\xBB"), "Cannot open file /logs/\xD0\xBB.");
}

}  // namespace
}  // namespace fragtally

namespace fragtally {
namespace {

// The block search must give std::string_view::find's answer for needles at
// every offset, near the end, overlapping themselves, and absent.
TEST(TextTest, FindTextAgreesWithTheStandardSearch) {
  const std::string needles[] = {"k", ": ", " - ", "<CT>", "killed", "<TERRORIST>", "aab", "abab"};
  const std::string fillers[] = {"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "ababababababababababababababababababab",
                                 "<C<CT<CT <CTX kille kille: - :  -<TERRORIS"};
  for (const std::string& needle : needles) {
    for (const std::string& filler : fillers) {
      for (std::size_t at = 0; at <= filler.size(); ++at) {
        for (const std::size_t cut : {needle.size(), needle.size() - 1}) {
          const std::string text = filler.substr(0, at) + needle.substr(0, cut) + filler.substr(at);
          EXPECT_EQ(findText(text, needle), text.find(needle)) << text << " / " << needle;
          if (needle.size() > 1) {
            EXPECT_EQ(findTextPortable(text, needle), text.find(needle)) << text << " / " << needle;
          }
        }
      }
    }
  }
  EXPECT_EQ(findText("", "x"), std::string_view::npos);
  EXPECT_EQ(findText("abc", ""), 0u);
}

// The byte searches, in blocks and byte by byte (the search of a build without
// SSE2), find the first byte wherever it stands, high bytes included.
TEST(TextTest, ByteSearchesAgreeWithTheStandardSearch) {
  for (std::size_t size = 0; size < 70; ++size) {
    for (std::size_t at = 0; at <= size; ++at) {
      for (const char byte : {'\r', '\n', '\xe9', '"'}) {
        std::string text(size, '\x7f');
        if (at < size) text[at] = byte;
        const std::size_t expected = text.find(byte);
        EXPECT_EQ(findByte(text, byte), expected) << size << " " << at;
        EXPECT_EQ(findBytePortable(text, byte), expected) << size << " " << at;
        const std::size_t end = text.find_first_of("\r\n");
        EXPECT_EQ(findLineEnd(text), end) << size << " " << at;
        EXPECT_EQ(findLineEndPortable(text), end) << size << " " << at;
      }
    }
  }
}

}  // namespace
}  // namespace fragtally
