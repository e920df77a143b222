#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/log_clock.h"
#include "bench/split_mix.h"

namespace fragtally {

/// What kind of log the generator makes.
enum class LogProfile {
  /// One long game of about 32 made-up players, map after map, as long as the
  /// size asks for: the log the speed figures have always been taken on.
  LongGame,
  /// One match of a public server, as its logs folder holds a year of them:
  /// the people drawn from a pool shared by every log (drawPerson), two seats
  /// of three bots (about half the lines about players), some LAN and pending IDs, renames, objectives on bomb and
  /// hostage maps, round ends of every kind, the stats plugin's figures of each
  /// player who leaves and of everyone at the map's end, and a start on any day
  /// of 2025, mostly in the evening. The log ends with the match, within the size.
  PublicMatch,
};

/// Makes up the log of a long game on one server, round after round, the same
/// bytes for the same seed: about 25 players (some bots) on two teams, kills
/// (about 60% of the lines, a few of them team kills), attacks, chat (some of it
/// saying "killed"), plugin lines about kills, bomb events, round ends with the
/// running scores, players leaving, joining and switching teams, and a map
/// change every few hundred rounds. Every line ends with CR LF. That is the
/// LongGame profile; PublicMatch makes one match of a public server instead.
class LogGenerator {
 public:
  explicit LogGenerator(std::uint64_t seed, LogProfile profile = LogProfile::LongGame);

  /// Appends the next stretch of the log: the log's opening before the first
  /// round, a map change when one is due (LongGame), then one round.
  void appendRound(std::string& out);

  /// Appends the end of a PublicMatch: the teams' scores, the stats plugin's
  /// lines of everyone still there, "Log file closed".
  void appendMatchEnd(std::string& out);

 private:
  // A player's figures with one weapon, for the stats plugin's lines.
  struct WeaponTally {
    std::string_view weapon;
    std::uint32_t kills = 0;
    std::uint32_t headshots = 0;
    std::uint32_t teamKills = 0;
    std::uint32_t deaths = 0;
  };
  struct Player {
    std::string name;
    std::string id;  // "BOT", a server-style "STEAM_0:X:N" or (PublicMatch) a LAN or pending ID
    std::uint32_t uid = 0;
    int team = 0;  // 0 CT, 1 TERRORIST
    bool present = false;
    bool alive = false;
    std::string quoted;        // "name<uid><id><TEAM>" with the quotes
    std::string quotedNoTeam;  // "name<uid><id><>" with the quotes
    // PublicMatch only:
    std::uint64_t person = 0;          // drawPerson's key, so that nobody sits twice
    std::string validatedId;           // the real ID while `id` is still pending
    std::string_view lastWeapon;       // his last gun: a death counts against it
    std::vector<WeaponTally> weapons;  // since he connected
    std::uint32_t connectedSeconds = 0;
  };

  void appendOpening(std::string& out);
  void appendMapStart(std::string& out);
  void appendArrival(std::string& out, Player& player);
  void appendEntry(std::string& out, const Player& player, std::uint32_t enterSeconds,
                   std::uint32_t joinSeconds);
  void appendComings(std::string& out);
  void appendKillStep(std::string& out);
  void appendChat(std::string& out, const Player& speaker);
  void appendRoundEnd(std::string& out, int winner, std::string_view how);
  // A random present player, alive when `aliveOnly`, of `team` unless it is -1,
  // never `except`; -1 when there is none.
  int pickPlayer(bool aliveOnly, int team, int except);
  int aliveCount(int team) const;
  int presentCount(int team) const;
  void setTeam(Player& player, int team);
  void giveUid(Player& player);
  std::string_view pickWeapon();
  bool publicMatch() const { return profile_ == LogProfile::PublicMatch; }
  void takeSeat(Player& player);
  WeaponTally& tallyOf(Player& player, std::string_view weapon);
  void countKill(Player& killer, Player& victim, std::string_view weapon, bool teamKill);
  void appendPluginLines(std::string& out, const Player& player);
  void appendValidations(std::string& out);
  void appendRename(std::string& out);
  void appendHostageEnd(std::string& out);

  // Starts a line with the clock's stamp after moving it on by 0..maxStep seconds.
  void beginLine(std::string& out, std::uint32_t maxStep);
  static void endLine(std::string& out) { out += "\r\n"; }

  LogProfile profile_;
  SplitMix64 random_;
  LogClock clock_;
  std::string steamPrefix_ = "STEAM_0:";  // PublicMatch: the server's build writes 0 or 1
  std::vector<Player> players_;
  std::uint32_t nextUid_ = 1;
  std::size_t mapIndex_ = 0;
  int roundsLeftOnMap_ = 0;
  int ctScore_ = 0;
  int tScore_ = 0;
  bool opened_ = false;
};

/// The first whole lines of the log of `seed` that fit in `maxBytes`, handed to
/// `sink` in pieces of about a megabyte. A shorter LongGame log of a seed is a
/// prefix of every longer one; a PublicMatch log plays as many rounds as leave
/// room for the match's end. Returns the number of bytes written.
std::size_t writeLog(std::size_t maxBytes, std::uint64_t seed,
                     const std::function<void(std::string_view)>& sink,
                     LogProfile profile = LogProfile::LongGame);

/// The same log as one string.
std::string generateLog(std::size_t maxBytes, std::uint64_t seed, LogProfile profile = LogProfile::LongGame);

}  // namespace fragtally
