#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>

#include "analysis/analysis.h"
#include "analysis/log_reader.h"
#include "analysis/match_players.h"
#include "base/file.h"
#include "record/match_record.h"
#include "report/report_model.h"
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

// Every weapon of the golden logs is one the program pictures, so each picture
// the page refers to has to be written beside it, in the log's spelling.
TEST_P(GoldenTest, EveryPictureThePageShowsIsWrittenBesideIt) {
  const std::string name = GetParam();
  const std::string expected = readFile(sourcePath("tests/golden/" + name + "/expected.htm"));
  std::set<std::string> referred;
  const std::regex picture("<img src=\"([^\"]+)\"");
  for (auto match = std::sregex_iterator(expected.begin(), expected.end(), picture); match != std::sregex_iterator();
       ++match) {
    referred.insert((*match)[1]);
  }

  auto stats = std::make_unique<MatchStats>();
  const std::string log = readFile(sourcePath("tests/golden/" + name + "/input.log"));
  MemorySource source(log);
  interpretLog(*stats, source);
  testing::TempFolder folder;
  writeReport(*stats, utf8FromPath(folder / "report.htm"));
  std::set<std::string> written;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    if (entry.path().extension() == ".jpg") written.insert(utf8FromPath(entry.path().filename()));
  }
  EXPECT_EQ(written, referred);
}

// The JSON record of the same log, written by hand beside the report; compared
// after parsing, so only the layout may differ (the order of fields may not).
TEST_P(GoldenTest, RecordMatchesTheHandWrittenJson) {
  const std::string name = GetParam();
  const std::string log = readFile(sourcePath("tests/golden/" + name + "/input.log"));
  const std::string expected = readFile(sourcePath("tests/golden/" + name + "/expected.json"));
  ASSERT_FALSE(expected.empty());

  auto stats = std::make_unique<MatchStats>();
  MemorySource source(log);
  MatchPlayersCollector people;
  interpretLog(*stats, source, &people);
  stats->setLogName("C:\\Logs\\" + name + ".log");
  const LogFileFacts facts{stats->logName, 4096, 1607443200};
  const std::string record = matchRecordJson(buildReportModel(*stats), people.result(), facts);

  ASSERT_TRUE(record.ends_with("}\n"));
  EXPECT_NE(record.substr(0, 3), "\xEF\xBB\xBF");
  const auto parsedExpected = nlohmann::ordered_json::parse(expected);
  const auto parsedRecord = nlohmann::ordered_json::parse(record);
  EXPECT_EQ(parsedRecord, parsedExpected) << "expected:\n" << parsedExpected.dump(1) << "\nwritten:\n" << record;
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenTest,
                         ::testing::Values("no_kills", "small_match", "unknown_map_escaping"));

}  // namespace
}  // namespace fragtally
