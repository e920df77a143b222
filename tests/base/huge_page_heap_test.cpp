#include "base/huge_page_heap.h"

#include <gtest/gtest.h>

#if defined(__linux__) && defined(__GLIBC__)
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#endif

namespace fragtally {
namespace {

#if defined(__linux__) && defined(__GLIBC__)

// The flags the system keeps for the mapping that holds `address` ("" for none).
std::string mappingFlagsAt(std::uintptr_t address) {
  std::ifstream maps("/proc/self/smaps");
  bool inside = false;
  for (std::string line; std::getline(maps, line);) {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> begin >> dash >> end && dash == '-') {
      inside = begin <= address && address < end;
    } else if (inside && line.rfind("VmFlags:", 0) == 0) {
      return line + " ";
    }
  }
  return "";
}

// Run in a child of its own: the reserve changes how the process's heap grows.
TEST(HugePageHeapTest, TheHeapGrowsByTheReserveAdvisedForHugePagesAndKeepsIt) {
  EXPECT_EXIT(
      {
        constexpr std::size_t kReserve = std::size_t{64} << 20;
        const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
        if (!reserveHugePageHeap(kReserve)) std::_Exit(2);  // a sanitizer's heap: nothing to see
        const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
        // Blocks taken and given back do not hand the reserve back.
        for (int round = 0; round < 3; ++round) std::free(std::malloc(std::size_t{8} << 20));
        const auto kept = reinterpret_cast<std::uintptr_t>(sbrk(0));
        const bool grown = after - before >= kReserve && kept == after;
        const bool advised = mappingFlagsAt(after - 1).find(" hg ") != std::string::npos;
        std::_Exit(grown && advised ? 0 : 1);
      },
      [](int status) { return testing::ExitedWithCode(0)(status) || testing::ExitedWithCode(2)(status); }, "");
}

#endif

TEST(HugePageHeapTest, NoReserveOfNothing) { EXPECT_FALSE(reserveHugePageHeap(0)); }

}  // namespace
}  // namespace fragtally
