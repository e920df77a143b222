#include <gtest/gtest.h>

#include <memory>

#include "app/analysis.h"
#include "app/log_reader.h"
#include "report/write_report.h"
#include "stats/match_stats.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::firstDifference;
using testing::readFile;
using testing::sourcePath;

// Each case holds a log and the report expected of it, derived by hand; the
// record's log name is set to a fixed Windows path so the page does not depend
// on where the tests run.
class GoldenTest : public ::testing::TestWithParam<const char*> {};

TEST_P(GoldenTest, ReportMatchesByteForByte) {
  const std::string name = GetParam();
  const std::string log = readFile(sourcePath("tests/golden/" + name + "/input.log"));
  const std::string expected = readFile(sourcePath("tests/golden/" + name + "/expected.htm"));
  ASSERT_FALSE(log.empty());
  ASSERT_FALSE(expected.empty());

  auto stats = std::make_unique<MatchStats>();
  MemorySource source(log);
  interpretLog(*stats, source);
  stats->setLogName("C:\\Logs\\" + name + ".log");
  EXPECT_EQ(firstDifference(expected, buildReport(*stats)), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenTest,
                         ::testing::Values("no_kills", "small_match", "unknown_map_escaping"));

}  // namespace
}  // namespace fragtally
