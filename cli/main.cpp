#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "base/huge_page_heap.h"
#include "base/interrupt.h"
#include "base/printable.h"
#include "cli/cli.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

// A path printed where nobody can read it is no success: a script waiting for
// it would get nothing.
int checkedOutput(int status) {
  std::cout.flush();
  if (std::cout) return status;
  std::cerr << "fragtally-cli: cannot write to standard output\n";
  return 1;
}

// What the tallies of a large folder's people take, with room to spare.
constexpr std::size_t kHeapReserve = std::size_t{256} << 20;

int runWithArguments(const std::vector<std::string>& args) {
  fragtally::reserveHugePageHeap(kHeapReserve);
  try {
    // Ctrl+C or a stop request removes the temporary file being written.
    fragtally::installInterruptHandlers();
    const bool errIsTerminal = isatty(fileno(stderr)) != 0;
    return checkedOutput(fragtally::runCli(args, std::cout, std::cerr, errIsTerminal));
  } catch (const std::bad_alloc&) {
    std::cerr << "fragtally-cli: out of memory\n";
  } catch (const std::exception& error) {
    std::cerr << "fragtally-cli: " << fragtally::printableText(error.what()) << '\n';
  }
  return 1;
}

}  // namespace

#ifdef _WIN32
// The wide entry point: the narrow arguments of Windows lose every character
// outside the ANSI code page. Paths go on as UTF-8, as everywhere in the core.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::u8string utf8 = std::filesystem::path(argv[i]).u8string();
      args.emplace_back(utf8.begin(), utf8.end());
    }
  } catch (const std::exception&) {
    std::cerr << "fragtally-cli: an argument is not valid Unicode\n";
    return 2;
  }
  return runWithArguments(args);
}
#else
int main(int argc, char** argv) { return runWithArguments(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
