#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "stats/name_table.h"

namespace fragtally {

/// One place of the player ranking: a player index and his total kills.
struct RankEntry {
  std::int32_t player = -1;
  std::int32_t kills = -1;
};

using SlotCounts = std::array<std::int32_t, kTableSlots>;
using SlotMatrix = std::array<SlotCounts, kTableSlots>;
using Ranking = std::array<RankEntry, kTableSlots>;

/// Everything one analysis learns from a log. Players and weapons are referred
/// to by their slot in `players` and `weapons`.
class MatchStats {
 public:
  std::string date;
  std::string startTime;
  std::string endTime;
  std::string mapName;
  std::string logName;
  std::int32_t ctKilledT = 0;
  std::int32_t ctKilledCt = 0;
  std::int32_t tKilledT = 0;
  std::int32_t tKilledCt = 0;
  std::int32_t ctWins = 0;
  std::int32_t tWins = 0;
  SlotMatrix weaponKills{};  ///< [killer][weapon]
  SlotCounts favouriteWeapon{};
  SlotMatrix victimKills{};  ///< [killer][victim]
  SlotCounts favouriteVictim{};
  SlotCounts nemesis{};
  Ranking ranking{};
  NameTable players;  ///< tags: "CT", "TERRORIST" or "MANIAC"
  NameTable weapons;  ///< tags stay empty

  void setLogName(std::string_view path);
  /// Keeps what stands before the fragment's first double quote, while no map is known.
  void setMapName(std::string_view fragment);
  /// Reads the CT and TERRORIST scores, the first two quoted numbers of a round end.
  void setRoundScores(std::string_view fragment);
  /// Takes "date - HH:MM:SS": the latest date, the first time and the greatest time.
  /// The time fields are written by this operation only.
  void updateTimeWindow(std::string_view stamp);
  /// Accounts one kill: team counters, name tables, matrices and running bests.
  void registerKill(std::string_view killerName, std::string_view killerTeam,
                    std::string_view victimName, std::string_view victimTeam,
                    std::string_view weapon);
  /// Fills `ranking` with every slot, by descending total kills (rankingOf).
  void rankPlayers();

 private:
  // The stamp of the last call that completed, kept while it is short (every
  // stamp a game writes is): the same stamp again, many lines a second, changes
  // nothing and cannot fail; the same date in front, as for hours of a log,
  // leaves `date` as it is.
  static constexpr std::size_t kKeptStampSize = 32;
  std::array<char, kKeptStampSize> lastStamp_{};
  std::size_t lastStampSize_ = 0;
  std::ptrdiff_t lastDash_ = 0;  // where " - " begins in it (1-based), 0 for nowhere
  bool lastStampKept_ = false;
  // The seconds of `endTime`, read once when it is set.
  std::int32_t endSeconds_ = 0;
  bool endSecondsKnown_ = false;
};

/// Every slot of the match statistics by descending total kills, ties in the order the
/// report shows; the statistics themselves are left as they are.
Ranking rankingOf(const MatchStats& stats);

/// secondsOfTime for any time: each piece through the number reading.
std::int32_t secondsReadAsNumbers(std::string_view time);

/// Seconds since midnight of "HH:MM:SS", the two characters at 1, 4 and 7 read
/// as numbers (hours first). Throws notAnInteger for a piece that is no number.
inline std::int32_t secondsOfTime(std::string_view time) {
  // Every line reads a time: plain two-digit pieces are taken here, anything
  // else goes through the number reading with its exact failure.
  const auto twoDigits = [&](std::size_t at) {
    const auto tens = static_cast<unsigned char>(time[at] - '0');
    const auto ones = static_cast<unsigned char>(time[at + 1] - '0');
    return tens <= 9 && ones <= 9 ? tens * 10 + ones : -1;
  };
  if (time.size() >= 8) {
    const int hours = twoDigits(0);
    const int minutes = twoDigits(3);
    const int seconds = twoDigits(6);
    if (hours >= 0 && minutes >= 0 && seconds >= 0) return hours * 3600 + minutes * 60 + seconds;
  }
  return secondsReadAsNumbers(time);
}

/// a + b in 32-bit two's complement: counters wrap instead of overflowing.
inline std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

}  // namespace fragtally
