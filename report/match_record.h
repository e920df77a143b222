#pragma once
// TEMPORARY STUB until the model branch is merged.
#include <cstdint>
#include <string>
namespace fragtally {
class MatchStats;
struct LogFileFacts { std::string path; std::uint64_t bytes = 0; std::int64_t modifiedUnixSeconds = 0; };
LogFileFacts logFileFacts(const std::string& utf8Path);
std::string isoUtcText(std::int64_t unixSeconds);
}
