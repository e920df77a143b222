#pragma once

#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Searches in log lines, 16 bytes at a time where the processor allows it.
// Every line is searched for a dozen short needles, most of them literals: the
// functions are inline so that each call site gets its needle folded in.
namespace fragtally {
namespace detail {

#if defined(__SSE2__)
inline std::size_t lowestBit(unsigned mask) { return static_cast<std::size_t>(__builtin_ctz(mask)); }

inline __m128i load16(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }

// The bits of a block starting at `start` for positions from `from` on: a last
// block overlaps the one before instead of leaving a tail to go byte by byte.
inline unsigned fromPosition(unsigned mask, std::size_t start, std::size_t from) {
  return from <= start ? mask : mask & (~0u << (from - start));
}

// The first position of a text of `size` (at least 16) whose bit is set in
// `hitsAt(start)`, the mask of the 16 positions from `start`; npos for none.
template <typename HitsAt>
std::size_t firstHit(std::size_t size, HitsAt hitsAt) {
  std::size_t at = 0;
  for (; at + 16 <= size; at += 16) {
    if (const unsigned hits = hitsAt(at); hits != 0) return at + lowestBit(hits);
  }
  const std::size_t last = size - 16;
  const unsigned hits = fromPosition(hitsAt(last), last, at);
  return hits != 0 ? last + lowestBit(hits) : std::string_view::npos;
}
#endif

// Whether the bytes between a candidate's first and last byte match too.
inline bool middleMatches(const char* at, std::string_view needle) {
  for (std::size_t i = 1; i + 1 < needle.size(); ++i) {
    if (at[i] != needle[i]) return false;
  }
  return true;
}

}  // namespace detail

// The searches byte by byte: what a processor without SSE2 runs, and what the
// block searches run on a text shorter than a block. Built everywhere, so that
// the tests of any build check them against the block searches.

/// The 0-based offset of the first `byte` in `text`, or npos.
inline std::size_t findBytePortable(std::string_view text, char byte) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == byte) return at;
  }
  return std::string_view::npos;
}

/// The 0-based offset of the first CR or LF in `text`, or npos.
inline std::size_t findLineEndPortable(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\r' || text[at] == '\n') return at;
  }
  return std::string_view::npos;
}

/// The 0-based offset of the first occurrence of a needle of two bytes or
/// more in `text`, or npos.
inline std::size_t findTextPortable(std::string_view text, std::string_view needle) {
  const std::size_t n = needle.size();
  for (std::size_t at = 0; at + n <= text.size(); ++at) {
    if (text[at] == needle[0] && text[at + n - 1] == needle[n - 1] && detail::middleMatches(text.data() + at, needle)) {
      return at;
    }
  }
  return std::string_view::npos;
}

/// The 0-based offset of the first `byte` in `text`, or npos.
inline std::size_t findByte(std::string_view text, char byte) {
#if defined(__SSE2__)
  const char* data = text.data();
  const __m128i wanted = _mm_set1_epi8(byte);
  const auto hitsAt = [&](std::size_t start) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(detail::load16(data + start), wanted)));
  };
  if (text.size() >= 16) return detail::firstHit(text.size(), hitsAt);
#endif
  return findBytePortable(text, byte);
}

/// The 0-based offset of the first CR or LF in `text`, or npos.
inline std::size_t findLineEnd(std::string_view text) {
#if defined(__SSE2__)
  const char* data = text.data();
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const auto hitsAt = [&](std::size_t start) {
    const __m128i block = detail::load16(data + start);
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf))));
  };
  if (text.size() >= 16) return detail::firstHit(text.size(), hitsAt);
#endif
  return findLineEndPortable(text);
}

/// The 0-based offset of the first occurrence of `needle` in `text`, or npos:
/// the answer of std::string_view::find.
inline std::size_t findText(std::string_view text, std::string_view needle) {
  const std::size_t n = needle.size();
  if (n == 0) return 0;
  if (n == 1) return findByte(text, needle[0]);
  if (text.size() < n) return std::string_view::npos;

#if defined(__SSE2__)
  const char* data = text.data();
  std::size_t at = 0;
  // A candidate is where both the needle's first and its last byte match; only
  // candidates are compared in full.
  const __m128i firstByte = _mm_set1_epi8(needle[0]);
  const __m128i lastByte = _mm_set1_epi8(needle[n - 1]);
  const auto candidatesAt = [&](std::size_t start) {
    const __m128i starts = _mm_cmpeq_epi8(detail::load16(data + start), firstByte);
    const __m128i ends = _mm_cmpeq_epi8(detail::load16(data + start + n - 1), lastByte);
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(starts, ends)));
  };
  const auto firstMatch = [&](std::size_t start, unsigned candidates) {
    for (; candidates != 0; candidates &= candidates - 1) {
      const std::size_t candidate = start + detail::lowestBit(candidates);
      if (detail::middleMatches(data + candidate, needle)) return candidate;
    }
    return std::string_view::npos;
  };
  if (text.size() >= (n - 1) + 16) {
    for (; at + (n - 1) + 16 <= text.size(); at += 16) {
      if (const std::size_t found = firstMatch(at, candidatesAt(at)); found != std::string_view::npos) return found;
    }
    const std::size_t last = text.size() - (n - 1) - 16;
    return firstMatch(last, detail::fromPosition(candidatesAt(last), last, at));
  }
#endif
  return findTextPortable(text, needle);
}

}  // namespace fragtally
