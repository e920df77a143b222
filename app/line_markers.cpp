#include "app/line_markers.h"

#include <cstring>

#include "base/text.h"
#include "base/text_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include "app/line_scan_blocks.h"
#endif

namespace fragtally {
namespace {

constexpr std::string_view kStartedMap = "Started map";
constexpr std::string_view kTriggered = "triggered \"";  // the common start of both round ends
constexpr std::string_view kTerroristsWin = "triggered \"Terrorists_Win\"";
constexpr std::string_view kCtsWin = "triggered \"CTs_Win\"";
constexpr std::string_view kKilled = "killed";

bool startsWith(std::string_view text, std::size_t at, std::string_view needle) {
  return text.size() - at >= needle.size() && std::memcmp(text.data() + at, needle.data(), needle.size()) == 0;
}

}  // namespace

LineMarkers findLineMarkers(std::string_view line) {
  LineMarkers found;
  found.startedMap = contains(line, kStartedMap);
  found.killedAt = findText(line, kKilled);
  for (std::size_t at = 0; !found.roundEnd; ++at) {
    at = line.find(kTriggered, at);
    if (at == std::string_view::npos) break;
    found.roundEnd = startsWith(line, at, kTerroristsWin) || startsWith(line, at, kCtsWin);
  }
  return found;
}

#if defined(__SSE2__)
namespace {

struct Sse2Lanes {
  static constexpr std::size_t kWidth = 16;
  using Vector = __m128i;
  static Vector load(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
  static Vector eq(Vector a, Vector b) { return _mm_cmpeq_epi8(a, b); }
  static Vector both(Vector a, Vector b) { return _mm_and_si128(a, b); }
  static Vector either(Vector a, Vector b) { return _mm_or_si128(a, b); }
  static std::uint32_t bits(Vector mask) { return static_cast<std::uint32_t>(_mm_movemask_epi8(mask)); }
};

}  // namespace

// The widest block (32) and its loads 10 bytes further on, and the longest
// marker compared from a candidate near the end, stay within the overhang.
static_assert(kScanOverhang >= 32 + 10 && kScanOverhang >= kTerroristsWin.size());

constinit const ScanBytes kScanBytes = [] {
  constexpr char kBytes[] = {'\r', '\n', 'S', 'p', 't', '"', 'k', 'd'};  // in the order of ScanByte
  ScanBytes table{};
  for (int byte = 0; byte < 8; ++byte) {
    for (unsigned char& lane : table.lanes[byte]) lane = static_cast<unsigned char>(kBytes[byte]);
  }
  return table;
}();

BlockScan scanBlocksSse2(const char* data, std::size_t size) { return scanBlocks<Sse2Lanes>(data, size); }
#else
namespace {

// Without SSE2: the line end, then the markers of the line, each searched for.
BlockScan scanBlocksPlain(const char* data, std::size_t size) {
  const std::string_view text(data, size);
  const std::size_t end = findLineEnd(text);
  if (end == std::string_view::npos) return {size, false, false, size};
  const LineMarkers markers = findLineMarkers(text.substr(0, end));
  return {end, markers.startedMap, markers.roundEnd, markers.killed() ? markers.killedAt : size};
}

}  // namespace
#endif

BlockScanner fastestBlockScanner() {
#if defined(FRAGTALLY_AVX2_SCAN)
  if (__builtin_cpu_supports("avx2")) return scanBlocksAvx2;
#endif
#if defined(__SSE2__)
  return scanBlocksSse2;
#else
  return scanBlocksPlain;
#endif
}

LineScan scanLine(std::string_view text) {
  static const BlockScanner scanner = fastestBlockScanner();
  return lineScanOf(scanner(text.data(), text.size()), text.size());
}

}  // namespace fragtally
