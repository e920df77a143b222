#include <gtest/gtest.h>

#include <string>

#include "record/match_record.h"
#include "record/record_format.h"
#include "record/record_head.h"

namespace fragtally {
namespace {

// The up-to-date rule, from the facts of a log as a folder run finds them on
// the disk; no file is needed.
TEST(RecordFormatTest, ARecordDescribesOnlyItsOwnLogAsItIsNow) {
  const LogFileFacts log{"/srv/logs/L1208003.log", 4096, 1607443200};
  const RecordHead head{kRecordVersion, std::string(kRecordGenerator), "/srv/logs/L1208003.log", 4096, "2020-12-08T16:00:00Z"};
  EXPECT_TRUE(recordDescribes(head, log));

  LogFileFacts grown = log;
  grown.bytes = 4097;
  EXPECT_FALSE(recordDescribes(head, grown));
  LogFileFacts touched = log;
  touched.modifiedUnixSeconds += 1;
  EXPECT_FALSE(recordDescribes(head, touched));
  LogFileFacts withinTheSecond = log;  // rewritten within the same second
  withinTheSecond.modifiedNanoseconds = 600000000;
  EXPECT_FALSE(recordDescribes(head, withinTheSecond));
  RecordHead fine = head;
  fine.logModifiedNanoseconds = 600000000;
  EXPECT_TRUE(recordDescribes(fine, withinTheSecond));
  EXPECT_FALSE(recordDescribes(fine, log));
  LogFileFacts another = log;
  another.path = "/srv/logs/./L1208003.log";  // paths are compared resolved, as written
  EXPECT_FALSE(recordDescribes(head, another));

  RecordHead older = head;
  older.generator = "fragtally 1.0.0.1";
  EXPECT_FALSE(recordDescribes(older, log));
  // Written by this very program in the first version of the format, which
  // holds no people: redone, so that every record in a folder holds them.
  RecordHead firstFormat = head;
  firstFormat.version = 1;
  EXPECT_FALSE(recordDescribes(firstFormat, log));
}

// What the writer puts in a record's head, the head reader takes back; a
// record of another format is none of the program's.
TEST(RecordFormatTest, TheHeadIsReadAsItIsWritten) {
  const std::string json = R"({"format":")" + std::string(kRecordFormat) + R"(","version":)" +
                           std::to_string(kRecordVersion) + R"(,"generator":")" + std::string(kRecordGenerator) +
                           R"(","log":{"path":"/srv/a.log","bytes":12,"modified":"2020-12-08T16:00:00Z"},"date":"x"})";
  const std::optional<RecordHead> head = parseRecordHead(json);
  ASSERT_TRUE(head);
  EXPECT_TRUE(recordDescribes(*head, LogFileFacts{"/srv/a.log", 12, 1607443200}));

  std::string other = json;
  other.replace(other.find("fragtally-match"), 15, "fragtally-other");
  EXPECT_FALSE(parseRecordHead(other));

  std::string firstFormat = json;
  firstFormat.replace(firstFormat.find("\"version\":"), 12, "\"version\":1,");
  const std::optional<RecordHead> firstHead = parseRecordHead(firstFormat);
  ASSERT_TRUE(firstHead);
  EXPECT_EQ(firstHead->version, 1);
  EXPECT_FALSE(recordDescribes(*firstHead, LogFileFacts{"/srv/a.log", 12, 1607443200}));
}

}  // namespace
}  // namespace fragtally
