#include "base/fnv1a.h"

#include <gtest/gtest.h>

#include <string>

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

// Worked out by hand from its definition: the word "abcdefgh" read little-endian
// as 0x6867666564636261, xored into the offset basis, multiplied by the FNV
// prime and folded (h ^= h >> 29); then "i" and "j" a byte at a time as FNV-1a.
TEST(Fnv1aTest, TheWordWiseChecksumTakesEightBytesAStepThenTheRestByByte) {
  EXPECT_EQ(fnv1a64Words(""), fnv1a64(""));
  EXPECT_EQ(fnv1a64Words("abcdefg"), fnv1a64("abcdefg")) << "under a word: byte by byte";
  EXPECT_EQ(fnv1a64Words("abcdefgh"), 0x3919eeb1c62e930cull);
  EXPECT_EQ(fnv1a64Words("abcdefghij"), 0x4a1bfd9130f2bc4full);
  // Any one byte changed, in a word or in the tail, changes it.
  const std::string text = "fragtally site cache 1: a line of pages\n";
  for (std::size_t at = 0; at < text.size(); ++at) {
    std::string changed = text;
    changed[at] = static_cast<char>(changed[at] ^ 0x80);
    EXPECT_NE(fnv1a64Words(changed), fnv1a64Words(text)) << at;
  }
}

}  // namespace
}  // namespace fragtally
