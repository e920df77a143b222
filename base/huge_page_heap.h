#pragma once

#include <cstddef>

namespace fragtally {

/// Grows the C library's heap once by `bytes` of reserve, advised to the
/// system for huge pages, where the C library and the system allow it (glibc
/// on Linux); true where it did. A folder run holds the tallies of tens of
/// thousands of people: every first touch of a 4 KiB page of the heap is a
/// fault, and on a virtual machine the faults can cost more than the work
/// done on the pages. Huge pages make them up to 512 times fewer. Untouched,
/// the reserve is address space only. Call once, first thing.
bool reserveHugePageHeap(std::size_t bytes);

}  // namespace fragtally
