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

/// Makes up the log of a long game on one server, round after round, the same
/// bytes for the same seed: about 25 players (some bots) on two teams, kills
/// (about 60% of the lines, a few of them team kills), attacks, chat (some of it
/// saying "killed"), plugin lines about kills, bomb events, round ends with the
/// running scores, players leaving, joining and switching teams, and a map
/// change every few hundred rounds. Every line ends with CR LF.
class LogGenerator {
 public:
  explicit LogGenerator(std::uint64_t seed);

  /// Appends the next stretch of the log: the log's opening before the first
  /// round, a map change when one is due, then one round.
  void appendRound(std::string& out);

 private:
  struct Player {
    std::string name;
    std::string id;  // "BOT" or a server-style "STEAM_0:X:N"
    std::uint32_t uid = 0;
    int team = 0;  // 0 CT, 1 TERRORIST
    bool present = false;
    bool alive = false;
    std::string quoted;        // "name<uid><id><TEAM>" with the quotes
    std::string quotedNoTeam;  // "name<uid><id><>" with the quotes
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

  // Starts a line with the clock's stamp after moving it on by 0..maxStep seconds.
  void beginLine(std::string& out, std::uint32_t maxStep);
  static void endLine(std::string& out) { out += "\r\n"; }

  SplitMix64 random_;
  LogClock clock_;
  std::vector<Player> players_;
  std::uint32_t nextUid_ = 1;
  std::size_t mapIndex_ = 0;
  int roundsLeftOnMap_ = 0;
  int ctScore_ = 0;
  int tScore_ = 0;
  bool opened_ = false;
};

/// The first whole lines of the log of `seed` that fit in `maxBytes`, handed to
/// `sink` in pieces of about a megabyte. A shorter log of a seed is a prefix of
/// every longer one. Returns the number of bytes written.
std::size_t writeLog(std::size_t maxBytes, std::uint64_t seed,
                     const std::function<void(std::string_view)>& sink);

/// The same log as one string.
std::string generateLog(std::size_t maxBytes, std::uint64_t seed);

}  // namespace fragtally
