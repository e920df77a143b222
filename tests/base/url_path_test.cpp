#include <gtest/gtest.h>

#include <string>

#include "base/url_path.h"

namespace fragtally {
namespace {

std::string urlPath(std::string_view fileName) {
  std::string out = "<";
  appendUrlPath(out, fileName);
  return out;
}

// A picture's src and a report's href alike: a name can only name a file in
// the page's folder, and the report's own bytes are as they always were.
TEST(UrlPathTest, KeepsLettersDigitsDotUnderscoreAndDashAndEncodesEveryOtherByte) {
  EXPECT_EQ(urlPath("AZaz09._-"), "<AZaz09._-");
  EXPECT_EQ(urlPath("../x"), "<..%2Fx");
  EXPECT_EQ(urlPath("//host/a:b?c#d"), "<%2F%2Fhost%2Fa%3Ab%3Fc%23d");
  EXPECT_EQ(urlPath("a\"b' c\\~"), "<a%22b%27%20c%5C%7E");
  EXPECT_EQ(urlPath(std::string_view("\0\x7F\xFF", 3)), "<%00%7F%FF");
}

}  // namespace
}  // namespace fragtally
