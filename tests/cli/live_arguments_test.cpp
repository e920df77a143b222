#include <gtest/gtest.h>

#include "cli/live_arguments.h"
#include "tests/cli/form_outcome.h"

namespace fragtally {
namespace {

using Outcome = testing::FormOutcome;

Outcome run(const std::vector<std::string>& args) {
  return testing::runForm(
      [](const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
        return runLiveModeFromArguments(given, out, err);
      },
      args);
}

TEST(LiveArgumentsTest, OtherFormsAreLeftToTheBatchRun) {
  EXPECT_EQ(run({"game.log", "-d", "out"}).status, std::nullopt);
  EXPECT_EQ(run({}).status, std::nullopt);
}

TEST(LiveArgumentsTest, UsageErrorsEndWithStatusTwoBeforeAnythingStarts) {
  const auto usage = [](const std::vector<std::string>& args, const std::string& message) {
    const Outcome outcome = run(args);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "fragtally-cli: " + message + "\n");
  };
  usage({"--listen", "27500"}, "the live modes need -d DIR");
  usage({"--listen", "27500", "-d", "out", "--listen", "27501"}, "--listen given twice");
  usage({"--listen", "27500", "-d", "out", "--idle"}, "--idle needs a value");
  usage({"--listen", "27500", "-d", "out", "--allow", "example.org"}, "--allow: not an IP address: example.org");
  usage({"--listen", "27500", "-d", "out", "--secret", ""}, "--secret: the secret is empty");
  usage({"--listen", "27500", "-d", "out", "extra", "--idle", "5"}, "unexpected extra with --listen");
  usage({"--listen", "27500", "-d", "out", "--verbose", "1"}, "unknown option --verbose");
  usage({"--follow", "logs", "-d", "out", "--secret", "x"}, "--allow, --secret and --idle go with --listen only");
  usage({"--follow", "logs", "--listen", "27500", "-d", "out"}, "--listen and --follow exclude each other");
}

TEST(LiveArgumentsTest, AnOptionOfTheBatchFormIsNamedForWhatItIs) {
  // Options that take no value were once read as missing theirs.
  const auto usage = [](const std::vector<std::string>& args, const std::string& message) {
    const Outcome outcome = run(args);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "fragtally-cli: " + message + "\n");
  };
  usage({"--listen", "27500", "-d", "out", "--force"}, "--force does not apply to --listen");
  usage({"--listen", "27500", "--force", "-d", "out"}, "--force does not apply to --listen");
  usage({"--follow", "logs", "-d", "out", "--json"}, "--json does not apply to --follow");
  usage({"--listen", "27500", "-d", "out", "-j", "2"}, "-j does not apply to --listen");
  usage({"--listen", "27500", "-d", "out", "-j2"}, "-j2 does not apply to --listen");
  usage({"--listen", "27500", "-d", "out", "-o", "r.htm"}, "-o does not apply to --listen");
  usage({"--follow", "logs", "-d", "out", "--help"}, "--help does not apply to --follow");
}

}  // namespace
}  // namespace fragtally
