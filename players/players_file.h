#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace fragtally {

/// The name of the admin's file of players in an output folder.
inline constexpr std::string_view kPlayersFileName = "players.txt";

/// What the admin's players.txt says. One directive a line; blank lines and
/// lines whose first non-blank byte is '#' are passed over; blanks are spaces
/// and tabs; a CR before the line end and a UTF-8 byte order mark are ignored.
///
///     merge KEY KEY...        these keys are one person, known by the first key
///     hide KEY                the person is on no list (his games still rate others)
///     name KEY Shown Name     the person is shown by the rest of the line
///
/// A KEY is a key as the identity gives it: steam:Y:Z, valve:X:Y:Z, name:NAME,
/// bot:NAME; an auth ID as the log writes it (STEAM_0:1:23, VALVE_0:4:5) is
/// taken for its account. A key holding blanks is written in double quotes, in
/// which \" is a quote and \\ a backslash: "name:Mr Fox". Merges chain: a key in
/// two merge lines joins both groups, known by the key met first in the file.
struct PlayersFile {
  /// Every merged key that is not its person's key, to that person's key.
  std::map<std::string, std::string> mergedInto;
  /// Person keys of the hidden.
  std::set<std::string> hidden;
  /// Person keys to their shown names.
  std::map<std::string, std::string> shownNames;

  /// The person a key belongs to: the key itself unless merged into another.
  [[nodiscard]] const std::string& personOf(const std::string& key) const;
  [[nodiscard]] bool isHidden(const std::string& key) const;
  /// The shown name given to the person of `key`, or nullptr.
  [[nodiscard]] const std::string* shownNameOf(const std::string& key) const;
};

/// Reads the file's text. A line it cannot read throws Error with the message
/// "FILE:LINE: what is wrong", FILE being `fileName`.
PlayersFile readPlayersFile(std::string_view text, std::string_view fileName = kPlayersFileName);

/// The largest players.txt read: an admin's file of merges and names stays far
/// below it, and no file put in the folder can make a run hold much.
inline constexpr std::uint64_t kMaxPlayersFileBytes = 1024 * 1024;

/// The admin's players.txt in the output folder `folder`, read whole before a
/// run writes anything; an empty PlayersFile where there is none. Throws Error:
/// "PATH:LINE: what is wrong" for a line it cannot read (PATH the file's path
/// in UTF-8), cannotOpenFile(PATH) when it is there but cannot be read, is no
/// regular file or is larger than kMaxPlayersFileBytes.
PlayersFile loadPlayersFile(const std::filesystem::path& folder);

}  // namespace fragtally
