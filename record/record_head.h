#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace fragtally {

/// What a folder run needs to know of a match record without reading all of
/// it: which log it was made from, that log's size and time as they were, and
/// the program and format version that made it.
struct RecordHead {
  int version = 0;  ///< the record format's version; 0 where the record gives none that is
  std::string generator;
  std::string logPath;
  std::uint64_t logBytes = 0;
  std::string logModified;
  std::uint32_t logModifiedNanoseconds = 0;  ///< 0 where the record has none
  bool operator==(const RecordHead&) const = default;
};

/// The head of the match record in `file`; nothing when the file cannot be
/// read or is not a match record. Reading stops once the head is complete, so
/// the players and weapons behind it cost nothing.
std::optional<RecordHead> readRecordHead(const std::filesystem::path& file);

/// The same, from the record's text.
std::optional<RecordHead> parseRecordHead(std::string_view json);

}  // namespace fragtally
