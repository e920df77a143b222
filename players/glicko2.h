#pragma once

#include <cstdint>
#include <span>

namespace fragtally {

// Glicko-2 as Glickman's "Example of the Glicko-2 system" works it, step by
// step: ratings live on the scale r = 1500 + 173.7178·μ, RD = 173.7178·φ.

/// The factor between the shown scale and the Glicko-2 scale.
inline constexpr double kGlickoScale = 173.7178;
/// The start of everyone: 1500 / 350 / 0.06.
inline constexpr double kStartRating = 1500.0;
inline constexpr double kStartDeviation = 350.0;
inline constexpr double kStartVolatility = 0.06;
/// The convergence tolerance of step 5's Illinois iteration.
inline constexpr double kVolatilityTolerance = 0.000001;

struct Glicko2Rating {
  double rating = kStartRating;
  double deviation = kStartDeviation;
  double volatility = kStartVolatility;
};

/// One game (or `count` alike) against an opponent as rated before the period:
/// score 1 a win, 0 a loss, 0.5 a draw.
struct Glicko2Game {
  Glicko2Rating opponent;
  double score = 0.0;
  std::int64_t count = 1;
};

/// A player's rating after one rating period with these games (steps 2 to 8),
/// τ the system constant. Without games only the deviation grows (step 6).
Glicko2Rating ratePeriod(const Glicko2Rating& player, std::span<const Glicko2Game> games, double tau);

/// A player's rating after `periods` rating periods without games: φ'² =
/// φ² + n·σ², as n single steps give it, the deviation never beyond `maxDeviation`.
Glicko2Rating idlePeriods(const Glicko2Rating& player, std::int64_t periods,
                          double maxDeviation = kStartDeviation);

}  // namespace fragtally
