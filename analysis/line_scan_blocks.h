#pragma once

// The one-pass line scan, written once for blocks of any width and built once
// per instruction set: by line_markers.cpp for SSE2 and in portable words of
// eight bytes, and by line_scan_avx2.cpp, the one file compiled for AVX2. The
// scan itself has internal linkage, so no copy built for one set can stand in
// for another's; only <cstddef>, <cstdint> and plain constants come in, for the
// same reason.
#include <cstddef>
#include <cstdint>

#include "analysis/block_scan.h"
#include "analysis/line_marker_texts.h"

namespace fragtally {

/// The bytes the scan looks for, each in 32 lanes, in the order of ScanByte.
/// The table is defined in another file than the scans on purpose: a compiler
/// that cannot see the values compares against the table in memory, where it
/// would otherwise build every constant anew for each line.
enum ScanByte { kCr, kLf, kStartedFirst, kStartedLast, kTriggeredFirst, kTriggeredLast, kKilledFirst, kKilledLast };
struct ScanBytes {
  unsigned char lanes[8][32];
};
extern const ScanBytes kScanBytes;

/// The scan in words of 8 bytes, built on every platform: the scan of a
/// processor without SSE2, and the check of the others.
BlockScan scanBlocksPortable(const char* data, std::size_t size);
/// The scan in blocks of 16 (SSE2, every x86-64 processor).
BlockScan scanBlocksSse2(const char* data, std::size_t size);
/// The scan in blocks of 32; only for a processor with AVX2.
BlockScan scanBlocksAvx2(const char* data, std::size_t size);

/// The candidates of the scan: a marker's first byte, and its byte at `tail`.
/// "Started map" and the start that both round ends share are compared from
/// one load, so they must be equally long.
inline constexpr MarkerText kStartedProbe = kMarkerTexts[kStartedMapMarker];
inline constexpr MarkerText kKilledProbe = kMarkerTexts[kKilledMarker];
inline constexpr std::size_t kLongTail = kStartedProbe.size - 1;
inline constexpr std::size_t kKilledTail = kKilledProbe.size - 1;
static_assert(kRoundEndStart.size == kStartedProbe.size, "one load serves both long markers");

/// The bytes of ScanByte, in its order.
inline constexpr char kScanByteValues[8] = {
    '\r', '\n', kStartedProbe.bytes[0], kStartedProbe.bytes[kLongTail], kRoundEndStart.bytes[0],
    kRoundEndStart.bytes[kLongTail], kKilledProbe.bytes[0], kKilledProbe.bytes[kKilledTail]};

namespace {

// Whether a marker stands at `at`: the comparison of a known length is built
// in, a few word comparisons.
template <MarkerKind kind>
bool markerAt(const char* at) {
  return __builtin_memcmp(at, kMarkerTexts[kind].bytes, kMarkerTexts[kind].size) == 0;
}

// `Lanes` holds one block of kWidth bytes in a Vector and gives its operations:
// load, eq, both, either, and bits (one bit per lane, lowest lane lowest).
//
// Line ends and marker candidates of each block come from the same loads: a
// candidate is where a marker's first and last bytes both match. A candidate is
// compared in full only when it starts before the line end; a whole marker
// holds no CR or LF, so one that matches lies inside the line. Loads and
// comparisons reach up to kWidth + kLongTail bytes behind the text: what they
// see there is cut off by the line end or thrown away with a text that holds
// none.
template <typename Lanes>
BlockScan scanBlocks(const char* data, std::size_t size) {
  static_assert(Lanes::kWidth + kLongTail <= kScanOverhang);
  // A candidate in the block's last lane is compared over the longest marker.
  static_assert(Lanes::kWidth + kMarkerTexts[kTerroristsWinMarker].size <= kScanOverhang);
  BlockScan scan{size, false, false, size};
  const auto lanesOf = [](ScanByte byte) { return Lanes::load(reinterpret_cast<const char*>(kScanBytes.lanes[byte])); };
  const auto cr = lanesOf(kCr);
  const auto lf = lanesOf(kLf);
  const auto startedFirst = lanesOf(kStartedFirst);
  const auto startedLast = lanesOf(kStartedLast);
  const auto triggeredFirst = lanesOf(kTriggeredFirst);
  const auto triggeredLast = lanesOf(kTriggeredLast);
  const auto killedFirst = lanesOf(kKilledFirst);
  const auto killedLast = lanesOf(kKilledLast);
  for (std::size_t start = 0; start < size; start += Lanes::kWidth) {
    const auto first = Lanes::load(data + start);
    const auto killedEnd = Lanes::load(data + start + kKilledTail);
    const auto longEnd = Lanes::load(data + start + kLongTail);
    const auto lineEnds = Lanes::either(Lanes::eq(first, cr), Lanes::eq(first, lf));
    const auto started = Lanes::both(Lanes::eq(first, startedFirst), Lanes::eq(longEnd, startedLast));
    const auto triggered = Lanes::both(Lanes::eq(first, triggeredFirst), Lanes::eq(longEnd, triggeredLast));
    const auto killed = Lanes::both(Lanes::eq(first, killedFirst), Lanes::eq(killedEnd, killedLast));
    // Most blocks hold neither an end nor a candidate: one test lets them pass.
    if (Lanes::bits(Lanes::either(Lanes::either(lineEnds, started), Lanes::either(triggered, killed))) == 0) continue;

    const std::uint32_t ends = Lanes::bits(lineEnds);
    const std::uint32_t beforeEnd = (ends & (0u - ends)) - 1;  // all bits when there is no end
    if ((Lanes::bits(Lanes::either(Lanes::either(started, triggered), killed)) & beforeEnd) != 0) {
      for (std::uint32_t hits = Lanes::bits(started) & beforeEnd; hits != 0 && !scan.startedMap; hits &= hits - 1) {
        scan.startedMap = markerAt<kStartedMapMarker>(data + start + static_cast<std::size_t>(__builtin_ctz(hits)));
      }
      for (std::uint32_t hits = Lanes::bits(triggered) & beforeEnd; hits != 0 && !scan.roundEnd; hits &= hits - 1) {
        const char* at = data + start + static_cast<std::size_t>(__builtin_ctz(hits));
        scan.roundEnd = markerAt<kTerroristsWinMarker>(at) || markerAt<kCtsWinMarker>(at);
      }
      for (std::uint32_t hits = Lanes::bits(killed) & beforeEnd; hits != 0 && scan.killedAt == size; hits &= hits - 1) {
        const std::size_t at = start + static_cast<std::size_t>(__builtin_ctz(hits));
        if (markerAt<kKilledMarker>(data + at)) scan.killedAt = at;
      }
    }
    if (ends != 0) {
      // An end seen behind the text is none.
      const std::size_t end = start + static_cast<std::size_t>(__builtin_ctz(ends));
      if (end < size) scan.end = end;
      return scan;
    }
  }
  return scan;
}

}  // namespace
}  // namespace fragtally
