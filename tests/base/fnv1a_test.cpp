#include "base/fnv1a.h"

#include <gtest/gtest.h>

namespace fragtally {
namespace {

// The published test vectors of 64-bit FNV-1a: the index cache's checksum and
// the players' file names hold hashes made by earlier runs, so the function
// must never drift from them.
TEST(Fnv1aTest, GivesThePublishedValues) {
  static_assert(fnv1a64("") == 0xcbf29ce484222325ull);
  EXPECT_EQ(fnv1a64("a"), 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(fnv1a64("foobar"), 0x85944171f73967e8ull);
  // Bytes above 0x7F count as bytes, whatever the sign of char.
  EXPECT_NE(fnv1a64("\xD0\x92"), fnv1a64("\x50\x12"));
}

}  // namespace
}  // namespace fragtally
