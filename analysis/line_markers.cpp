#include "analysis/line_markers.h"

#include <cstdint>
#include <cstring>

#include "analysis/line_scan_blocks.h"
#include "base/text_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fragtally {
namespace {

std::string_view textOf(MarkerText marker) { return {marker.bytes, marker.size}; }

bool startsWith(std::string_view text, std::size_t at, std::string_view needle) {
  return text.size() - at >= needle.size() && std::memcmp(text.data() + at, needle.data(), needle.size()) == 0;
}

}  // namespace

LineMarkers findLineMarkers(std::string_view line) {
  LineMarkers found;
  found.startedMap = findText(line, textOf(kMarkerTexts[kStartedMapMarker])) != std::string_view::npos;
  found.killedAt = findText(line, textOf(kMarkerTexts[kKilledMarker]));
  for (std::size_t at = 0; !found.roundEnd; ++at) {
    at = line.find(textOf(kRoundEndStart), at);
    if (at == std::string_view::npos) break;
    found.roundEnd = startsWith(line, at, textOf(kMarkerTexts[kTerroristsWinMarker])) ||
                     startsWith(line, at, textOf(kMarkerTexts[kCtsWinMarker]));
  }
  return found;
}

constinit const ScanBytes kScanBytes = [] {
  ScanBytes table{};
  for (int byte = 0; byte < 8; ++byte) {
    for (unsigned char& lane : table.lanes[byte]) lane = static_cast<unsigned char>(kScanByteValues[byte]);
  }
  return table;
}();

namespace {

// Eight lanes in a 64-bit word, lane 0 in the lowest byte whatever the byte
// order; a lane of a mask is 0x80 where it holds, 0 elsewhere.
struct PortableLanes {
  static constexpr std::size_t kWidth = 8;
  using Vector = std::uint64_t;
  static constexpr Vector kLow7 = 0x7f7f7f7f7f7f7f7fULL;
  static Vector load(const char* at) {
    Vector word = 0;
    for (std::size_t lane = 0; lane < kWidth; ++lane) {
      word |= static_cast<Vector>(static_cast<unsigned char>(at[lane])) << (8 * lane);
    }
    return word;
  }
  // A lane is 0x80 exactly where the two bytes are equal: no carry crosses lanes.
  static Vector eq(Vector a, Vector b) {
    const Vector differ = a ^ b;
    return ~(((differ & kLow7) + kLow7) | differ | kLow7);
  }
  static Vector both(Vector a, Vector b) { return a & b; }
  static Vector either(Vector a, Vector b) { return a | b; }
  static std::uint32_t bits(Vector mask) {
    // Each lane's top bit, gathered into the top byte, lane 0 lowest.
    return static_cast<std::uint32_t>(((mask >> 7) * 0x0102040810204080ULL) >> 56);
  }
};

#if defined(__SSE2__)
struct Sse2Lanes {
  static constexpr std::size_t kWidth = 16;
  using Vector = __m128i;
  static Vector load(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
  static Vector eq(Vector a, Vector b) { return _mm_cmpeq_epi8(a, b); }
  static Vector both(Vector a, Vector b) { return _mm_and_si128(a, b); }
  static Vector either(Vector a, Vector b) { return _mm_or_si128(a, b); }
  static std::uint32_t bits(Vector mask) { return static_cast<std::uint32_t>(_mm_movemask_epi8(mask)); }
};
#endif

}  // namespace

BlockScan scanBlocksPortable(const char* data, std::size_t size) { return scanBlocks<PortableLanes>(data, size); }

#if defined(__SSE2__)
BlockScan scanBlocksSse2(const char* data, std::size_t size) { return scanBlocks<Sse2Lanes>(data, size); }
#endif

BlockScanner fastestBlockScanner() {
#if defined(FRAGTALLY_AVX2_SCAN)
  if (__builtin_cpu_supports("avx2")) return scanBlocksAvx2;
#endif
#if defined(__SSE2__)
  return scanBlocksSse2;
#else
  return scanBlocksPortable;
#endif
}

LineScan scanLine(std::string_view text) {
  static const BlockScanner scanner = fastestBlockScanner();
  return lineScanOf(scanner(text.data(), text.size()), text.size());
}

}  // namespace fragtally
