#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "players/glicko2.h"

namespace fragtally {

/// Enemy kills of one person by another on one day: `count` games the winner won.
struct DayWin {
  std::uint32_t winner = 0;
  std::uint32_t loser = 0;
  std::int64_t count = 0;
};

/// A person's rating at the end of one of his days of play.
struct RatingPoint {
  std::int64_t day = 0;  ///< dayNumberOf
  Glicko2Rating rating;
};

/// A person as the rating leaves him.
struct PersonRating {
  Glicko2Rating rating;             ///< at the end of the last day anyone played
  std::int64_t games = 0;           ///< rated games he won or lost
  std::vector<RatingPoint> course;  ///< at the end of each of his days of play, oldest first
};

/// The rating over days of play, one day after another: each day is one
/// Glicko-2 rating period. People are numbers 0..people-1 given by the caller;
/// the order of floating-point sums follows them, so numbering people in an
/// order of their own (their keys) makes the result independent of the order
/// the matches came in.
class DailyRating {
 public:
  DailyRating(std::size_t people, double tau);

  /// One day, later than every day before: `played` every person who played
  /// that day (one may be listed more than once), `wins` the day's games summed per (winner, loser), in that
  /// order, none of a person against himself. Every opponent is rated as he
  /// stood before the day. A person without a game that day, or on days
  /// without play, has periods without games: φ' = √(φ² + σ²), never beyond
  /// 350, applied when he next plays (his course shows them at once).
  void rateDay(std::int64_t day, std::span<const std::uint32_t> played, std::span<const DayWin> wins);

  /// Everyone brought up to the last day rated, and the rating of each.
  std::vector<PersonRating> finish();

 private:
  void bringTo(std::uint32_t person, std::int64_t day);

  struct State {
    Glicko2Rating rating;
    std::int64_t ratedThrough = 0;  ///< the last day his rating accounts for
    bool seen = false;
    std::int64_t games = 0;
    std::vector<RatingPoint> course;
  };

  std::vector<State> people_;
  double tau_;
  std::int64_t lastDay_ = 0;
  std::vector<std::vector<Glicko2Game>> games_;  // reused from day to day
  std::vector<Glicko2Rating> before_;
  std::vector<std::uint32_t> rated_;
};

}  // namespace fragtally
