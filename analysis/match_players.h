#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "analysis/player_line.h"
#include "analysis/text_index.h"

namespace fragtally {

// Bounds of what one match keeps, whatever its log holds. Beyond them the log
// still reads; what does not fit is left out, as documented at each.
/// Player entries of a match: one per connection (a UID) of a human, one per bot
/// name. A further one appears nowhere; a kill between him and a known player
/// still counts for the known one, without a pair.
inline constexpr std::size_t kMaxMatchPlayers = 256;
/// Names listed per player; lines under further names still count for him.
inline constexpr std::size_t kMaxNamesPerPlayer = 16;
/// Weapons listed per player; further ones are left out of his weapon list only.
inline constexpr std::size_t kMaxWeaponsPerPlayer = 64;
/// A name or weapon is kept to its first this many bytes.
inline constexpr std::size_t kMaxNameBytes = 255;

/// A name a player used in the match and the number of lines naming him with it.
struct NameUse {
  std::string name;
  std::int64_t lines = 0;

  friend bool operator==(const NameUse&, const NameUse&) = default;
};

/// A player's figures with one weapon: kills from the kill lines (team kills not
/// among them), the rest from the stats plugin where it runs (0 otherwise).
struct WeaponUse {
  std::string weapon;
  std::int64_t kills = 0;
  std::int64_t shots = 0;
  std::int64_t hits = 0;
  std::int64_t headshots = 0;
  std::int64_t damage = 0;

  friend bool operator==(const WeaponUse&, const WeaponUse&) = default;
};

/// One person of a match: one whatever names he used, across reconnects under
/// the same account and a pending ID resolved under the same UID. A connection
/// without an account (a LAN or placeholder ID) is the same person as an earlier
/// one that ended under the name it starts with.
struct MatchPlayer {
  std::string authId;  ///< the last one the log gave (the real one once it is known)
  bool bot = false;
  /// The auth ID is an account's, but players held it at the same time in this
  /// match (some non-Steam setups give everyone one): it tells nobody apart,
  /// and he is told by his name as with a placeholder.
  bool sharedAuthId = false;
  std::vector<NameUse> names;  ///< in the order of first use
  std::int64_t kills = 0;      ///< of enemies
  std::int64_t deaths = 0;     ///< killed by anyone, or by his own hand
  std::int64_t suicides = 0;
  std::int64_t teamKills = 0;  ///< teammates he killed
  std::int64_t bombsPlanted = 0;
  std::int64_t bombsDefused = 0;
  std::int64_t hostagesRescued = 0;
  std::int64_t hostagesKilled = 0;
  std::int64_t roundsWon = 0;  ///< rounds that ended while he was on the winning side
  std::vector<WeaponUse> weapons;  ///< in the order of first use

  friend bool operator==(const MatchPlayer&, const MatchPlayer&) = default;
};

/// Enemy kills of one player by another (indices into MatchPlayers::players);
/// bots are among them, marked by their players' `bot`.
struct KillPair {
  std::size_t killer = 0;
  std::size_t victim = 0;
  std::int64_t kills = 0;

  friend bool operator==(const KillPair&, const KillPair&) = default;
};

/// What a match's lines say about its people.
struct MatchPlayers {
  std::vector<MatchPlayer> players;  ///< in the order of first appearance
  std::vector<KillPair> kills;       ///< by killer, then victim
  std::size_t playersLeftOut = 0;    ///< lines naming a player who found no room (kMaxMatchPlayers)

  friend bool operator==(const MatchPlayers&, const MatchPlayers&) = default;
};

/// Collects a match's players from its lines, fed in order. Memory is bounded by
/// the caps above whatever the lines hold.
class MatchPlayersCollector {
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
    /// Where currentName stands in player.names, kNotListed when the list was
    /// full: most lines name a player as the line before did, and find him there.
    std::size_t currentNameAt = kNotListed;
    std::string team;                          ///< the side he is on now, empty when none
    std::uint64_t firstLine = 0;               ///< the first and last line naming him
    std::uint64_t lastLine = 0;
  };

  static constexpr std::size_t kNotListed = static_cast<std::size_t>(-1);

  std::size_t entryFor(const PlayerText& player);
  /// Makes `name` the entry's current name and lists it (with no line) unless
  /// it is listed or the list is full.
  void takeName(Entry& entry, std::string_view name);
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
  TextIndex byUid_;
  TextIndex byBotName_;
  /// Enemy kills by entry: row the killer, column the victim; a row is as long
  /// as the highest victim it has killed, so rows stay short in a common match.
  std::vector<std::vector<std::int64_t>> kills_;
  std::size_t playersLeftOut_ = 0;
  std::uint64_t lineNumber_ = 0;
};

}  // namespace fragtally
