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

bool isRoundEndAt(std::string_view line, std::size_t at) {
  return startsWith(line, at, kTerroristsWin) || startsWith(line, at, kCtsWin);
}

// The plain search, for lines too short for the block scan.
void findFrom(std::string_view line, std::size_t from, LineMarkers& found) {
  if (!found.startedMap) found.startedMap = line.find(kStartedMap, from) != std::string_view::npos;
  if (!found.killed()) found.killedAt = line.find(kKilled, from);
  for (std::size_t at = from; !found.roundEnd; ++at) {
    at = line.find(kTriggered, at);
    if (at == std::string_view::npos) break;
    found.roundEnd = isRoundEndAt(line, at);
  }
}

}  // namespace

LineMarkers findLineMarkers(std::string_view line) {
  LineMarkers found;
  std::size_t block = 0;
#if defined(__SSE2__)
  // Per 16 positions, a candidate is where a marker's first and last bytes both
  // match; only candidates are compared in full. Both 11-byte markers share the
  // load of their last bytes.
  static_assert(kStartedMap.size() == 11 && kTriggered.size() == 11);
  constexpr std::size_t kLongTail = 10;
  constexpr std::size_t kKilledTail = kKilled.size() - 1;
  const __m128i startedFirst = _mm_set1_epi8('S');
  const __m128i startedLast = _mm_set1_epi8('p');
  const __m128i triggeredFirst = _mm_set1_epi8('t');
  const __m128i triggeredLast = _mm_set1_epi8('"');
  const __m128i killedFirst = _mm_set1_epi8('k');
  const __m128i killedLast = _mm_set1_epi8('d');
  const char* data = line.data();
  const auto scanBlock = [&](std::size_t start) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + start));
    const __m128i killedEnd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + start + kKilledTail));
    const __m128i longEnd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + start + kLongTail));
    unsigned started = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_and_si128(_mm_cmpeq_epi8(first, startedFirst), _mm_cmpeq_epi8(longEnd, startedLast))));
    unsigned triggered = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_and_si128(_mm_cmpeq_epi8(first, triggeredFirst), _mm_cmpeq_epi8(longEnd, triggeredLast))));
    unsigned killed = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_and_si128(_mm_cmpeq_epi8(first, killedFirst), _mm_cmpeq_epi8(killedEnd, killedLast))));
    for (; started != 0 && !found.startedMap; started &= started - 1) {
      found.startedMap = startsWith(line, start + static_cast<std::size_t>(__builtin_ctz(started)), kStartedMap);
    }
    for (; triggered != 0 && !found.roundEnd; triggered &= triggered - 1) {
      found.roundEnd = isRoundEndAt(line, start + static_cast<std::size_t>(__builtin_ctz(triggered)));
    }
    for (; killed != 0 && !found.killed(); killed &= killed - 1) {
      const std::size_t candidate = start + static_cast<std::size_t>(__builtin_ctz(killed));
      if (startsWith(line, candidate, kKilled)) found.killedAt = candidate;
    }
  };
  if (line.size() >= 16 + kLongTail) {
    for (; block + 16 + kLongTail <= line.size(); block += 16) scanBlock(block);
    // One more block, overlapping the last, ends where the long markers can
    // last start; "killed" can start up to five bytes later.
    const std::size_t last = line.size() - 16 - kLongTail;
    if (last + 16 > block) scanBlock(last);
    for (std::size_t at = line.size() - kLongTail; at + kKilled.size() <= line.size() && !found.killed(); ++at) {
      if (line[at] == 'k' && startsWith(line, at, kKilled)) found.killedAt = at;
    }
    return found;
  }
#endif
  findFrom(line, block, found);
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
