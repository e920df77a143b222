#include "analysis/analysis.h"

#include "analysis/interpret_line.h"
#include "analysis/log_reader.h"
#include "stats/match_stats.h"

namespace fragtally {

void interpretLog(MatchStats& stats, ByteSource& log) {
  LineReader reader(log);
  std::string_view line;
  LineMarkers markers;
  while (reader.next(line, markers)) interpretLine(stats, line, markers);
}

std::uint64_t analyseLogFile(MatchStats& stats, std::string_view utf8Path) {
  FileSource log(utf8Path);
  stats.setLogName(utf8Path);
  interpretLog(stats, log);
  return log.bytesRead();
}

}  // namespace fragtally
