#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return fragtally::runCli(args, std::cout, std::cerr);
  } catch (const std::bad_alloc&) {
    std::cerr << "fragtally-cli: out of memory\n";
  } catch (const std::exception& error) {
    std::cerr << "fragtally-cli: " << error.what() << '\n';
  }
  return 1;
}
