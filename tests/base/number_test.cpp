#include <gtest/gtest.h>

#include "base/error.h"
#include "base/number.h"

namespace fragtally {
namespace {

void expectInvalid(std::string_view text) {
  try {
    readInteger(text);
    ADD_FAILURE() << "accepted '" << text << "'";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "'" + std::string(text) + "' is not a valid integer value");
  }
}

TEST(NumberTest, ReadsDecimalWithBlanksAndSign) {
  EXPECT_EQ(readInteger("21"), 21);
  EXPECT_EQ(readInteger("05"), 5);
  EXPECT_EQ(readInteger("  7"), 7);
  EXPECT_EQ(readInteger("+3"), 3);
  EXPECT_EQ(readInteger("-3"), -3);
  EXPECT_EQ(readInteger("2147483647"), 2147483647);
  EXPECT_EQ(readInteger("-2147483648"), INT32_MIN);
}

TEST(NumberTest, ReadsHexWithEveryPrefixAsTwosComplement) {
  EXPECT_EQ(readInteger("$10"), 16);
  EXPECT_EQ(readInteger("x1f"), 31);
  EXPECT_EQ(readInteger("X1F"), 31);
  EXPECT_EQ(readInteger("0x0A"), 10);
  EXPECT_EQ(readInteger("0XfF"), 255);
  EXPECT_EQ(readInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(readInteger("$0000000000FF"), 255);  // leading zeros
  EXPECT_EQ(readInteger("-$10"), -16);
  EXPECT_EQ(readInteger(" +x7"), 7);
  EXPECT_EQ(readInteger("-$80000000"), INT32_MIN);
}

TEST(NumberTest, RejectsEverythingElseNamingTheWholeText) {
  for (const char* text : {"", "  ", "-", "+", "$", "x", "0x", "-$", "9:", ":0", "1 ", " 1 ", "1a", "a",
                           "--1", "+-1", "2147483648", "-2147483649", "$100000000", "99999999999999999999",
                           "1.5", "\t1", "0x$1", "$-1", "12\xD0"}) {
    expectInvalid(text);
  }
}

}  // namespace
}  // namespace fragtally
