#include "analysis/analysis.h"

#include "analysis/interpret_line.h"
#include "analysis/log_reader.h"
#include "analysis/match_players.h"
#include "stats/match_stats.h"

namespace fragtally {

void interpretLog(MatchStats& stats, ByteSource& log, MatchPlayersCollector* people) {
  LineReader reader(log);
  std::string_view line;
  LineMarkers markers;
  if (people == nullptr) {
    while (reader.next(line, markers)) interpretLine(stats, line, markers);
    return;
  }
  while (reader.next(line, markers)) {
    interpretLine(stats, line, markers);
    people->addLine(line);
  }
}

std::uint64_t analyseLogFile(MatchStats& stats, std::string_view utf8Path, MatchPlayersCollector* people) {
  FileSource log(utf8Path);
  stats.setLogName(utf8Path);
  interpretLog(stats, log, people);
  return log.bytesRead();
}

}  // namespace fragtally
