#pragma once

#include <cstddef>
#include <string_view>

#include "version.h"

namespace fragtally {

struct LogFileFacts;
struct RecordHead;

// The match record's format, as it is written and as it is read back: a
// reader takes only what the writer can give.

/// The record's "format" field.
inline constexpr std::string_view kRecordFormat = "fragtally-match";
/// The record's "version" field: what the fields mean and how they are laid out.
inline constexpr int kRecordVersion = 2;
/// The record's "generator" field: this program and its version.
inline constexpr std::string_view kRecordGenerator = "fragtally " FRAGTALLY_VERSION_TEXT;

/// A log holds at most 64 players and 64 weapons, and its texts are cut far
/// below kMaxRecordText bytes. A record beyond these bounds was not written by
/// the program; a reader refuses it, so that no file can make it hold much.
inline constexpr std::size_t kMaxRecordPlayers = 64;
inline constexpr std::size_t kMaxRecordWeapons = 64;
inline constexpr std::size_t kMaxRecordText = 4096;

/// Whether `head` was written by this program, in this version of the format,
/// from the log as `facts` describe it: the same path, size and time of last change, to the nanosecond where
/// the file system keeps it (a record without log.modified_nanoseconds tells a
/// time in whole seconds). A record that does is up to date; anything else
/// (another program's record, a record of an older format, which lacks what
/// this one holds, another log's, the log changed since) is redone.
bool recordDescribes(const RecordHead& head, const LogFileFacts& facts);

}  // namespace fragtally
