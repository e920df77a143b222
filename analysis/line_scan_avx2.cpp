// The line scan in blocks of 32. This file alone is compiled for AVX2, and its
// scan runs only where the processor has it (see scanLine).
#include <immintrin.h>

#include "analysis/line_scan_blocks.h"

namespace fragtally {
namespace {

struct Avx2Lanes {
  static constexpr std::size_t kWidth = 32;
  using Vector = __m256i;
  static Vector load(const char* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }
  static Vector eq(Vector a, Vector b) { return _mm256_cmpeq_epi8(a, b); }
  static Vector both(Vector a, Vector b) { return _mm256_and_si256(a, b); }
  static Vector either(Vector a, Vector b) { return _mm256_or_si256(a, b); }
  static std::uint32_t bits(Vector mask) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(mask)); }
};

}  // namespace

BlockScan scanBlocksAvx2(const char* data, std::size_t size) { return scanBlocks<Avx2Lanes>(data, size); }

}  // namespace fragtally
