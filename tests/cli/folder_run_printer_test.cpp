#include <gtest/gtest.h>

#include <sstream>

#include "cli/folder_run_printer.h"
#include "cli/progress_line.h"

namespace fragtally {
namespace {

LogOutcome outcome(LogOutcomeKind kind, std::string log, std::optional<std::string> report, std::string message = "") {
  LogOutcome result;
  result.kind = kind;
  result.log = std::move(log);
  result.report = std::move(report);
  result.message = std::move(message);
  return result;
}

TEST(FolderRunPrinterTest, ReportsGoToOutFailuresAndTheSummaryToErr) {
  std::ostringstream out;
  std::ostringstream err;
  FolderRunPrinter printer(out, err, false);
  printer.inputProblem("/srv/logs: Cannot open file /srv/logs.");
  printer.done(outcome(LogOutcomeKind::written, "a.log", "out/a.htm"));
  printer.done(outcome(LogOutcomeKind::upToDate, "b.log", std::nullopt));
  printer.done(outcome(LogOutcomeKind::failed, "c.log", std::nullopt, "Cannot open file c.log."));
  printer.progress(BatchCounts{3, 1, 1, 1, 100, 100});
  FolderRunResult result;
  result.counts = BatchCounts{3, 1, 1, 1, 100, 100};
  result.indexFailures = {"Cannot create file out/index.htm."};
  result.failed = true;
  EXPECT_EQ(printer.finished(result), 1);
  EXPECT_EQ(out.str(), "out/a.htm\n");
  EXPECT_EQ(err.str(),
            "/srv/logs: Cannot open file /srv/logs.\n"
            "c.log: Cannot open file c.log.\n"
            "Cannot create file out/index.htm.\n"
            "3 logs: 1 written, 1 up to date, 1 failed\n");

  std::ostringstream none;
  FolderRunPrinter quiet(none, none, false);
  EXPECT_EQ(quiet.finished(FolderRunResult{BatchCounts{1, 1, 0, 0, 5, 5}, std::nullopt, {}, false}), 0);
  EXPECT_EQ(none.str(), "1 log: 1 written, 0 up to date, 0 failed\n");
}

TEST(FolderRunPrinterTest, AFolderThatCouldNotBeLockedGetsItsMessageAndNoSummary) {
  std::ostringstream out;
  std::ostringstream err;
  FolderRunPrinter printer(out, err, false);
  printer.waitingForFolder("out");
  FolderRunResult result;
  result.lockFailure = "Cannot create file out/.fragtally-lock.";
  result.failed = true;
  EXPECT_EQ(printer.finished(result), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "waiting for another run writing to out\nCannot create file out/.fragtally-lock.\n");
}

TEST(FolderRunPrinterTest, TheProgressLineIsRemovedBeforeEveryOtherLine) {
  std::ostringstream out;
  std::ostringstream err;
  FolderRunPrinter printer(out, err, true);
  printer.progress(BatchCounts{2000, 0, 0, 0, 1000, 0});
  printer.progress(BatchCounts{2000, 10, 0, 0, 1000, 5});  // too soon after the first: not drawn
  printer.done(outcome(LogOutcomeKind::failed, "c.log", std::nullopt, "Cannot open file c.log."));
  printer.finished(FolderRunResult{BatchCounts{2000, 1990, 8, 2, 1000, 1000}, std::nullopt, {}, true});
  EXPECT_EQ(err.str(),
            "\r0 of 2000 logs\x1b[K"
            "\r\x1b[K"
            "c.log: Cannot open file c.log.\n"
            "2,000 logs: 1,990 written, 8 up to date, 2 failed\n");
}

TEST(FolderRunPrinterTest, SummaryCountsAreGroupedByThousands) {
  EXPECT_EQ(groupedCount(0), "0");
  EXPECT_EQ(groupedCount(999), "999");
  EXPECT_EQ(groupedCount(1000), "1,000");
  EXPECT_EQ(groupedCount(1234567), "1,234,567");
}

}  // namespace
}  // namespace fragtally
