#include "tests/cli_process.h"

#ifdef _WIN32
#include <process.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;
#endif

namespace fragtally::testing {

#ifdef _WIN32

CliProcess::CliProcess(const std::vector<std::string>& args, const std::string&) {
  // The C runtime joins the arguments with blanks: each one goes in quotes.
  std::vector<std::string> quoted;
  quoted.push_back("\"" FRAGTALLY_CLI_PATH "\"");
  for (const std::string& arg : args) quoted.push_back("\"" + arg + "\"");
  std::vector<const char*> argv;
  for (const std::string& arg : quoted) argv.push_back(arg.c_str());
  argv.push_back(nullptr);
  handle_ = _spawnv(_P_NOWAIT, FRAGTALLY_CLI_PATH, argv.data());
  ended_ = handle_ == -1;
}

int CliProcess::wait() {
  if (!ended_) {
    int exitCode = 0;
    status_ = _cwait(&exitCode, handle_, 0) == -1 ? -1 : exitCode;
    ended_ = true;
  }
  return status_;
}

#else

CliProcess::CliProcess(const std::vector<std::string>& args, const std::string& standardOutput) {
  std::vector<char*> argv;
  std::string program = FRAGTALLY_CLI_PATH;
  std::vector<std::string> copies(args);
  argv.push_back(program.data());
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, standardOutput.c_str(), O_WRONLY, 0);
  pid_t pid = -1;
  const bool started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  pid_ = started ? pid : -1;
  ended_ = !started;
}

int CliProcess::wait() {
  if (!ended_) {
    int status = 0;
    status_ = waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ended_ = true;
  }
  return status_;
}

void CliProcess::terminate() {
  if (!ended_) kill(pid_, SIGTERM);
}

#endif

CliProcess::~CliProcess() { wait(); }

int runCliProcess(const std::vector<std::string>& args) { return CliProcess(args).wait(); }

}  // namespace fragtally::testing
