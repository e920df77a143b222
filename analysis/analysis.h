#pragma once

#include <cstdint>
#include <string_view>

namespace fragtally {

class ByteSource;
class MatchStats;

/// Interprets every line of a log, in order, into the match statistics.
void interpretLog(MatchStats& stats, ByteSource& log);

/// Opens the log file (throws cannotOpenFile), records its path as the log
/// name and interprets every line. The path is UTF-8. Returns the bytes read:
/// the size of a log that has none of its own (a pipe, standard input).
std::uint64_t analyseLogFile(MatchStats& stats, std::string_view utf8Path);

}  // namespace fragtally
