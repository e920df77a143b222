#pragma once

#include <string_view>

namespace fragtally {

class ByteSource;
class MatchStats;

/// Interprets every line of a log, in order, into the record.
void interpretLog(MatchStats& stats, ByteSource& log);

/// Opens the log file (throws cannotOpenFile), records its path as the log
/// name and interprets every line. The path is UTF-8.
void analyseLogFile(MatchStats& stats, std::string_view utf8Path);

}  // namespace fragtally
