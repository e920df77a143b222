#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace fragtally::testing {

/// What one in-process run of the command line gave.
struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

/// Runs the command line in this process, as fragtally-cli would.
inline CliRun cli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  CliRun run;
  run.status = runCli(args, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

/// Runs the test body in another current folder and goes back afterwards.
class InFolder {
 public:
  explicit InFolder(const std::filesystem::path& folder) : before_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~InFolder() { std::filesystem::current_path(before_); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  std::filesystem::path before_;
};

}  // namespace fragtally::testing
