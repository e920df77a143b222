#pragma once

// The per-player reading as it was first written, plain and slow: the fast
// readPlayerLine and MatchPlayersCollector must give exactly what these give.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "analysis/match_players.h"
#include "analysis/player_line.h"

namespace fragtally::plain {

bool cutPlayerText(std::string_view text, PlayerText& player);
PlayerLine readPlayerLine(std::string_view line);

class PlainCollector {
 public:
  void addLine(std::string_view line);
  /// The players so far, entries of one person joined.
  [[nodiscard]] MatchPlayers result() const;

 private:
  /// One entry per connection (UID) of a human, per name of a bot; result()
  /// joins the entries of one person (union-find) and sums them up.
  struct Entry {
    MatchPlayer player;
    std::vector<std::uint64_t> nameFirstLine;  ///< beside player.names
    std::string account;                       ///< accountKeyOf the real ID, once known
    std::string currentName;
    std::string team;                          ///< the side he is on now, empty when none
    std::uint64_t firstLine = 0;               ///< the first and last line naming him
    std::uint64_t lastLine = 0;
  };

  std::size_t entryFor(const PlayerText& player);
  std::size_t newEntry(std::string_view authId, bool bot, std::string_view name);
  static std::size_t rootOf(std::vector<std::size_t>& parent, std::size_t entry);
  static void join(std::vector<std::size_t>& parent, std::size_t a, std::size_t b);
  /// Every entry's person: parent links joining the entries of one person.
  std::vector<std::size_t> people(std::vector<bool>& shared) const;
  void rememberUid(std::string_view uid, std::size_t entry);
  /// The line names `entry` as `player`: a line more for the name, his side now.
  void mention(std::size_t entry, const PlayerText& player);
  void rename(std::size_t entry, std::string_view newName);
  WeaponUse* weaponOf(std::size_t entry, std::string_view weapon);
  void kill(const PlayerLine& line);
  void creditRound(std::string_view team);

  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::size_t> byUid_;
  std::unordered_map<std::string, std::size_t> byBotName_;
  std::map<std::pair<std::size_t, std::size_t>, std::int64_t> kills_;  ///< enemy kills by entry
  std::size_t playersLeftOut_ = 0;
  std::uint64_t lineNumber_ = 0;
};

}  // namespace fragtally::plain
