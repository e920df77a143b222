#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/match_players.h"
#include "players/glicko2.h"
#include "players/player_key.h"
#include "players/players_file.h"

namespace fragtally {

/// τ of the rating run. Glickman advises 0.3 to 1.2, smaller values keeping the
/// volatility from changing much. A kill is a noisy game and a day of play
/// brings a player dozens of them, so the low end keeps one lucky or unlucky day
/// from raising his volatility, and with it the swing of his later days.
inline constexpr double kRatingTau = 0.3;
/// Matches a person needs to be ranked.
inline constexpr std::int64_t kMinRankedMatches = 3;

/// When a match started, as its log's first stamp gives it.
struct MatchStart {
  int year = 0;
  int month = 0;
  int day = 0;
  int secondOfDay = 0;

  friend auto operator<=>(const MatchStart&, const MatchStart&) = default;
};

/// Reads "MM/DD/YYYY" and "HH:MM:SS" as a log writes them; nothing when either
/// is not a real date or time.
std::optional<MatchStart> readMatchStart(std::string_view date, std::string_view time);

/// Days since 1970-01-01 of a start's date (proleptic Gregorian).
std::int64_t dayNumberOf(const MatchStart& start);

/// One match for the rating run.
struct RatedMatch {
  MatchStart start;
  std::string logPath;  ///< orders matches that start at the same second
  MatchPlayers players;
};

struct RatingSettings {
  IdentityRules identity;
  double tau = kRatingTau;
  std::int64_t minMatches = kMinRankedMatches;
};

/// The person key of every player of a match (beside MatchPlayers::players),
/// the admin's merges applied; empty where the rules leave him out.
std::vector<std::string> personKeysOf(const MatchPlayers& match, const IdentityRules& rules,
                                      const PlayersFile& file);

/// A person as the run leaves him.
struct RatedPerson {
  std::string key;        ///< his person key
  std::string shownName;  ///< players.txt's, else the name he used most in his latest match
  Glicko2Rating rating;
  std::int64_t matches = 0;  ///< matches he played
  std::int64_t games = 0;    ///< rated games: enemy kills he made or suffered between people

  /// What the ranking orders by: the rating less twice its deviation.
  [[nodiscard]] double rankingValue() const { return rating.rating - 2.0 * rating.deviation; }
};

struct RatingTable {
  std::vector<RatedPerson> ranked;    ///< by rankingValue, highest first; ties by key
  std::vector<RatedPerson> unranked;  ///< fewer than minMatches matches, in the same order
};

/// Rates everyone afresh from all the matches, in whatever order they are given.
///
/// The matches are taken in the order of their start (date, time, then log
/// path). Each calendar day with play is one rating period. Every enemy kill
/// between two people is a game the killer won against the victim; team kills,
/// suicides and kills with a bot on either side are none. Within a period every
/// opponent is rated as he stood before it. A day on which a person has no game
/// (no play of his, or no play at all) is one period without games for him:
/// φ' = √(φ² + σ²), the deviation never beyond 350; these are applied when he
/// next plays, and up to the last day of play at the end. Hidden people rate
/// others but are on neither list. Only the order of floating-point sums is
/// fixed by keys, so the result is the same for any order of the input.
RatingTable rateMatches(std::span<const RatedMatch> matches, const PlayersFile& file,
                        const RatingSettings& settings = {});

}  // namespace fragtally
