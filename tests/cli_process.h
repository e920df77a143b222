#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fragtally::testing {

/// The fragtally-cli program of this build, running as its own process with
/// the given arguments (its standard output goes to `standardOutput`, where
/// the system allows: by default it is dropped). Waits for the end when
/// destroyed.
class CliProcess {
 public:
  explicit CliProcess(const std::vector<std::string>& args, const std::string& standardOutput = "/dev/null");
  ~CliProcess();
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  /// Waits for the program to end: its exit status, or -1 when it could not be
  /// started or did not end normally.
  int wait();
#ifndef _WIN32
  /// Sends SIGTERM, as a service manager stops a program.
  void terminate();
#endif

 private:
#ifdef _WIN32
  std::intptr_t handle_ = -1;
#else
  int pid_ = -1;
#endif
  int status_ = -1;
  bool ended_ = false;
};

/// Runs fragtally-cli to its end: its exit status, as CliProcess::wait.
int runCliProcess(const std::vector<std::string>& args);

}  // namespace fragtally::testing
