#include "base/huge_page_heap.h"

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#endif

namespace fragtally {

#if defined(__linux__) && defined(__GLIBC__)

bool reserveHugePageHeap(std::size_t bytes) {
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  constexpr int kDefaultTopPad = 128 * 1024;  // glibc's own
  if (bytes == 0 || bytes > INT_MAX / 2) return false;
  // Blocks of up to 32 MiB come from the heap rather than from mappings of
  // their own, which would be plain pages; and the heap is never handed back
  // while its free top is under twice the reserve: a part handed back and
  // taken again is plain pages too.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * bytes));
  // One growth of the heap by the reserve; later ones ask for what they need.
  mallopt(M_TOP_PAD, static_cast<int>(bytes));
  void* const probe = std::malloc(kHugePage);
  mallopt(M_TOP_PAD, kDefaultTopPad);
  if (probe == nullptr) return false;
  const auto at = reinterpret_cast<std::uintptr_t>(probe);
  const auto top = reinterpret_cast<std::uintptr_t>(sbrk(0));
  // Only where the block came from the heap's break, right below its new end
  // (not from a sanitizer's allocator, nor from a mapping where the break
  // could not grow).
  bool advised = false;
  if (at < top && top - at <= bytes + 2 * kHugePage) {
    const std::uintptr_t start = (at + kHugePage - 1) & ~(kHugePage - 1);
    advised = start < top && madvise(reinterpret_cast<void*>(start), top - start, MADV_HUGEPAGE) == 0;
  }
  std::free(probe);
  return advised;
}

#else

bool reserveHugePageHeap(std::size_t) { return false; }

#endif

}  // namespace fragtally
