#include <gtest/gtest.h>

#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "analysis/log_reader.h"
#include "base/error.h"
#include "base/file.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::TempFolder;
using testing::writeFile;

std::string readAll(File& file) {
  std::string bytes;
  char piece[64];
  while (const std::size_t got = file.read(piece, sizeof piece)) bytes.append(piece, got);
  return bytes;
}

// A pipe that nobody writes to would keep an open waiting for ever; one with
// bytes in it, or with a writer, reads as any log does.
TEST(FileTest, APipeIsReadOnlyWhenItHasAWriterOrBytes) {
  TempFolder folder;
  const std::filesystem::path fifo = folder / "log.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(File::openForReading(fifo).isOpen());
  try {
    FileSource source(utf8FromPath(fifo));
    ADD_FAILURE() << "a pipe without a writer was opened";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + utf8FromPath(fifo));
  }

  // A reader held open lets the writer open without waiting.
  const int keeper = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  const int writer = open(fifo.c_str(), O_WRONLY);
  ASSERT_GE(keeper, 0);
  ASSERT_GE(writer, 0);
  File withWriter = File::openForReading(fifo);
  ASSERT_TRUE(withWriter.isOpen());
  ASSERT_EQ(write(writer, "L 1\nL 2\n", 8), 8);
  close(writer);
  EXPECT_EQ(readAll(withWriter), "L 1\nL 2\n");
  close(keeper);
}

// A head is read a piece at a time until it is enough, never past the limit:
// a regular file from its descriptor, a pipe through its stream.
TEST(FileTest, TheStartOfAFileIsReadUntilItIsEnough) {
  TempFolder folder;
  const std::filesystem::path file = folder / "record.json";
  writeFile(file, std::string(5000, 'a') + "END" + std::string(4997, 'b'));
  std::vector<std::size_t> seen;
  const auto endSeen = [&](std::string_view start) {
    seen.push_back(start.size());
    return start.find("END") != std::string_view::npos;
  };
  EXPECT_TRUE(readFileStart(file, 1 << 20, endSeen));
  EXPECT_EQ(seen, (std::vector<std::size_t>{4096, 10000}));  // the second piece ends with the file
  seen.clear();
  EXPECT_FALSE(readFileStart(file, 4096, endSeen));
  EXPECT_EQ(seen, (std::vector<std::size_t>{4096}));
  seen.clear();
  EXPECT_FALSE(readFileStart(folder / "missing.json", 1 << 20, endSeen));
  EXPECT_FALSE(readFileStart(folder.path(), 1 << 20, endSeen));
  EXPECT_TRUE(seen.empty());

  const std::filesystem::path fifo = folder / "head.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int keeper = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  const int writer = open(fifo.c_str(), O_WRONLY);
  ASSERT_GE(keeper, 0);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(write(writer, "xxENDxx", 7), 7);
  close(writer);
  EXPECT_TRUE(readFileStart(fifo, 1 << 20, endSeen));
  EXPECT_EQ(seen, (std::vector<std::size_t>{7}));
  close(keeper);
}

TEST(FileTest, DashReadsTheStandardInput) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  ASSERT_EQ(write(pipeEnds[1], "from stdin", 10), 10);
  close(pipeEnds[1]);
  const int savedInput = dup(0);
  dup2(pipeEnds[0], 0);
  close(pipeEnds[0]);
  FileSource input("-");  // reads a copy of the standard input of its own
  dup2(savedInput, 0);
  close(savedInput);
  char bytes[32];
  EXPECT_EQ(std::string(bytes, input.read(bytes, sizeof bytes)), "from stdin");
}

}  // namespace
}  // namespace fragtally

#endif
