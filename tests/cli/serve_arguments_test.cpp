#include <gtest/gtest.h>

#include "cli/serve_arguments.h"
#include "tests/cli/form_outcome.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using Outcome = testing::FormOutcome;

Outcome run(const std::vector<std::string>& args) {
  return testing::runForm(
      [](const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
        return runServeFromArguments(given, out, err);
      },
      args);
}

TEST(ServeArgumentsTest, OtherFormsAreLeftToTheOthers) {
  EXPECT_EQ(run({"game.log", "-d", "out"}).status, std::nullopt);
  EXPECT_EQ(run({"--listen", "27500", "-d", "out"}).status, std::nullopt);
}

TEST(ServeArgumentsTest, UsageErrorsEndWithStatusTwoBeforeAnythingStarts) {
  const auto usage = [](const std::vector<std::string>& args, const std::string& message) {
    const Outcome outcome = run(args);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "fragtally-cli: " + message + "\n");
  };
  const std::string alone = "--serve goes with -d DIR alone, or with --listen or --follow";
  usage({"--serve", "8080"}, alone);
  usage({"--serve"}, "--serve needs a value");
  usage({"--serve", "8080", "-d", "out", "--serve", "8081"}, "--serve given twice");
  usage({"--serve", "8080", "-d", "out", "game.log"}, alone);
  usage({"--serve", "8080", "-d", "out", "--force"}, alone);
  usage({"--serve", "http", "-d", "out"}, "--serve: not a port: http");
  usage({"--serve", "::1:8080", "-d", "out"}, "--serve: write an IPv6 address in brackets, as [::1]:27500");
  usage({"--serve", "example.org:8080", "-d", "out"}, "--serve: not an IP address: example.org");
  usage({"--serve", "8080", "--listen", "27500"}, "--serve needs -d DIR");
  // The live mode's own errors come before the server starts too.
  usage({"--serve", "8080", "--listen", "27500", "-d", "out", "--idle", "0"},
        "--idle: not a number of seconds from 1 to 86400: 0");
}

TEST(ServeArgumentsTest, AFolderThatIsNotThereFailsWithItsMessage) {
  testing::TempFolder folder;
  const Outcome outcome = run({"--serve", "127.0.0.1:0", "-d", (folder / "missing").string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("Cannot open file " + (folder / "missing").string() + "."), std::string::npos)
      << outcome.err;
}


}  // namespace
}  // namespace fragtally
