#include "app/line_markers.h"

#include <cstring>

#include "base/text.h"
#include "base/text_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>
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

LineScan scanLine(std::string_view text) {
  LineScan scan;
#if defined(__SSE2__)
  // Line ends and marker candidates of each block of 16 come from the same
  // loads. A candidate is compared in full only when it starts before the line
  // end; a whole marker holds no CR or LF, so one that matches lies inside the
  // line. Loads and comparisons may reach into the overhang: whatever they see
  // there is either cut off by the line end or thrown away with a text that
  // holds none.
  constexpr std::size_t kLongTail = kStartedMap.size() - 1;
  constexpr std::size_t kKilledTail = kKilled.size() - 1;
  static_assert(kTerroristsWin.size() <= kScanOverhang && 16 + kLongTail <= kScanOverhang);
  const char* data = text.data();
  LineMarkers& found = scan.markers;
  const auto matchAt = [&](std::size_t at, std::string_view marker) {
    return std::memcmp(data + at, marker.data(), marker.size()) == 0;
  };
  const auto is = [](__m128i block, char byte) { return _mm_cmpeq_epi8(block, _mm_set1_epi8(byte)); };
  const auto bits = [](__m128i mask) { return static_cast<unsigned>(_mm_movemask_epi8(mask)); };
  for (std::size_t start = 0; start < text.size(); start += 16) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + start));
    const __m128i killedEnd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + start + kKilledTail));
    const __m128i longEnd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + start + kLongTail));
    const __m128i lineEnds = _mm_or_si128(is(first, '\r'), is(first, '\n'));
    const __m128i started = _mm_and_si128(is(first, 'S'), is(longEnd, 'p'));
    const __m128i triggered = _mm_and_si128(is(first, 't'), is(longEnd, '"'));
    const __m128i killed = _mm_and_si128(is(first, 'k'), is(killedEnd, 'd'));
    // Most blocks hold neither an end nor a candidate: one test lets them pass.
    if (bits(_mm_or_si128(_mm_or_si128(lineEnds, started), _mm_or_si128(triggered, killed))) == 0) continue;

    const unsigned ends = bits(lineEnds);
    const unsigned beforeEnd = (ends & (0u - ends)) - 1;  // all bits when there is no end
    if ((bits(_mm_or_si128(_mm_or_si128(started, triggered), killed)) & beforeEnd) != 0) {
      for (unsigned hits = bits(started) & beforeEnd; hits != 0 && !found.startedMap; hits &= hits - 1) {
        found.startedMap = matchAt(start + static_cast<std::size_t>(__builtin_ctz(hits)), kStartedMap);
      }
      for (unsigned hits = bits(triggered) & beforeEnd; hits != 0 && !found.roundEnd; hits &= hits - 1) {
        const std::size_t at = start + static_cast<std::size_t>(__builtin_ctz(hits));
        found.roundEnd = matchAt(at, kTerroristsWin) || matchAt(at, kCtsWin);
      }
      for (unsigned hits = bits(killed) & beforeEnd; hits != 0 && !found.killed(); hits &= hits - 1) {
        const std::size_t at = start + static_cast<std::size_t>(__builtin_ctz(hits));
        if (matchAt(at, kKilled)) found.killedAt = at;
      }
    }
    if (ends != 0) {
      // An end seen in the overhang is none.
      const std::size_t end = start + static_cast<std::size_t>(__builtin_ctz(ends));
      if (end < text.size()) scan.end = end;
      return scan;
    }
  }
  return scan;
#else
  scan.end = findLineEnd(text);
  if (scan.end != std::string_view::npos) scan.markers = findLineMarkers(text.substr(0, scan.end));
  return scan;
#endif
}

}  // namespace fragtally
