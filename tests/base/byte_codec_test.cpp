#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "base/byte_codec.h"

// A figure is read straight from the bytes where enough are left and byte by
// byte near the end: both ways must give the same figures and refuse the
// same damage.

namespace fragtally {
namespace {

// The figure read at the end of the bytes (byte by byte) and with bytes to
// spare after it (straight), each with whether the read was refused.
template <typename Read>
void expectBothWays(const std::string& encoded, Read read, bool refused, std::int64_t value) {
  for (const std::string& bytes : {encoded, encoded + std::string(16, '\x7f')}) {
    ByteReader in(bytes, 0);
    const std::int64_t got = read(in);
    EXPECT_EQ(!in.ok(), refused) << "spare bytes: " << bytes.size() - encoded.size();
    if (!refused) {
      EXPECT_EQ(got, value);
      EXPECT_EQ(in.at(), encoded.size());
    }
  }
}

TEST(ByteCodecTest, FiguresComeBackTheSameReadStraightOrByteByByte) {
  constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
  for (const std::int64_t value : {std::int64_t{0}, std::int64_t{1}, std::int64_t{-1}, std::int64_t{63},
                                   std::int64_t{64}, std::int64_t{-65}, std::int64_t{INT32_MAX},
                                   std::int64_t{INT32_MIN}, std::int64_t{INT32_MAX} + 1, kMin64, kMax64}) {
    std::string encoded;
    putSigned(encoded, value);
    expectBothWays(encoded, [](ByteReader& in) { return in.signed64(); }, false, value);
    const bool fits32 = value >= INT32_MIN && value <= INT32_MAX;
    expectBothWays(encoded, [](ByteReader& in) { return std::int64_t{in.signed32()}; }, !fits32, value);
  }
}

TEST(ByteCodecTest, OverlongOrUnendedFiguresAreRefusedEitherWay) {
  // Eleven bytes, or a tenth that carries more than the 64th bit.
  expectBothWays(std::string(10, '\x80') + '\x01', [](ByteReader& in) { return in.signed64(); }, true, 0);
  expectBothWays(std::string(9, '\xff') + '\x02', [](ByteReader& in) { return in.signed64(); }, true, 0);
  expectBothWays(std::string(9, '\xff') + '\x01', [](ByteReader& in) { return in.signed64(); }, false,
                 std::numeric_limits<std::int64_t>::min());
  // A 32-bit figure ends by its fifth byte.
  expectBothWays(std::string(4, '\x80') + '\x80' + '\x00', [](ByteReader& in) { return std::int64_t{in.signed32()}; },
                 true, 0);
  // Cut off before its last byte.
  ByteReader cut(std::string_view("\x80\x80", 2), 0);
  cut.signed64();
  EXPECT_FALSE(cut.ok());
}

}  // namespace
}  // namespace fragtally
