#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/url_path.h"

namespace fragtally {
namespace {

// A picture's src and a report's href alike: a name can only name a file in
// the page's folder, and the report's own bytes are as they always were.
TEST(UrlPathTest, KeepsLettersDigitsDotUnderscoreAndDashAndEncodesEveryOtherByte) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"AZaz09._-", "AZaz09._-"},
      {"../x", "..%2Fx"},
      {"//host/a:b?c#d", "%2F%2Fhost%2Fa%3Ab%3Fc%23d"},
      {"a\"b' c\\~", "a%22b%27%20c%5C%7E"},
      {std::string_view("\0\x7F\xFF", 3), "%00%7F%FF"},
  };
  for (const auto& [name, url] : cases) {
    std::string out = "<";  // what the text holds already stays
    appendUrlPath(out, name);
    EXPECT_EQ(out, "<" + std::string(url)) << name;
  }
}

}  // namespace
}  // namespace fragtally
