#pragma once

// The texts a log line is searched for, each spelt here once: the block scans,
// their byte table, the plain search and the cuts all take them from here. Plain
// constants only, and nothing included but <cstddef>: the scan built for AVX2
// includes this, and no inline function of another instruction set may come
// out of it.
#include <cstddef>

namespace fragtally {

/// A marker whose occurrence anywhere in a line makes the line an event.
struct MarkerText {
  const char* bytes;
  std::size_t size;
};

template <std::size_t N>
consteval MarkerText markerText(const char (&literal)[N]) {
  return {literal, N - 1};
}

/// The markers, in the order in which a line's treatments run.
enum MarkerKind { kStartedMapMarker, kTerroristsWinMarker, kCtsWinMarker, kKilledMarker, kMarkerKinds };
inline constexpr MarkerText kMarkerTexts[kMarkerKinds] = {
    markerText("Started map"),
    markerText("triggered \"Terrorists_Win\""),
    markerText("triggered \"CTs_Win\""),
    markerText("killed"),
};

/// Landmarks of the cuts, beside "killed": where the stamp ends, where the date
/// ends in it, and the kill line's "with" and team tags.
inline constexpr MarkerText kStampEnd = markerText(": ");
inline constexpr MarkerText kDateEnd = markerText(" - ");
inline constexpr MarkerText kWith = markerText("with");
inline constexpr MarkerText kCtTag = markerText("<CT>");
inline constexpr MarkerText kTerroristTag = markerText("<TERRORIST>");

/// How many leading bytes two markers share.
consteval std::size_t sharedStart(MarkerText a, MarkerText b) {
  std::size_t n = 0;
  while (n < a.size && n < b.size && a.bytes[n] == b.bytes[n]) ++n;
  return n;
}

/// The start both round ends share: one candidate in the block scan stands for
/// both, and only where it matches are the two compared in full.
inline constexpr MarkerText kRoundEndStart = {kMarkerTexts[kTerroristsWinMarker].bytes,
                                              sharedStart(kMarkerTexts[kTerroristsWinMarker],
                                                          kMarkerTexts[kCtsWinMarker])};

/// The longest marker or landmark: a match found only when this many bytes have
/// been seen.
consteval std::size_t longestSearchedText() {
  std::size_t longest = 0;
  for (const MarkerText& text : kMarkerTexts) longest = text.size > longest ? text.size : longest;
  const MarkerText landmarks[] = {kStampEnd, kDateEnd, kWith, kCtTag};
  for (const MarkerText& text : landmarks) longest = text.size > longest ? text.size : longest;
  return longest;
}

}  // namespace fragtally
