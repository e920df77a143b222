#pragma once

#include <cstdint>
#include <string_view>

namespace fragtally {

class ByteSource;
class MatchStats;
class MatchPlayersCollector;

/// Interprets every line of a log, in order, into the match statistics and,
/// when `people` is given, hands the collector the lines about players.
void interpretLog(MatchStats& stats, ByteSource& log, MatchPlayersCollector* people = nullptr);

/// Opens the log file (throws cannotOpenFile), records its path as the log
/// name and interprets every line, for the people too when `people` is given.
/// The path is UTF-8. Returns the bytes read: the size of a log that has none
/// of its own (a pipe, standard input).
std::uint64_t analyseLogFile(MatchStats& stats, std::string_view utf8Path, MatchPlayersCollector* people = nullptr);

}  // namespace fragtally
