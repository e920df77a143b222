#include "players/glicko2.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace fragtally {
namespace {

// Step 5 ends well within these; they only keep a non-finite input from looping.
constexpr int kMaxBracketSteps = 10000;
constexpr int kMaxIterations = 1000;

double g(double phi) { return 1.0 / std::sqrt(1.0 + 3.0 * phi * phi / (std::numbers::pi * std::numbers::pi)); }

double expected(double mu, double muOpponent, double phiOpponent) {
  return 1.0 / (1.0 + std::exp(-g(phiOpponent) * (mu - muOpponent)));
}

/// Step 5: the new volatility, by the Illinois algorithm on f.
double newVolatility(double sigma, double phi, double v, double delta, double tau) {
  const double a = std::log(sigma * sigma);
  const double phi2 = phi * phi;
  const double delta2 = delta * delta;
  const auto f = [&](double x) {
    const double ex = std::exp(x);
    const double denominator = phi2 + v + ex;
    return ex * (delta2 - phi2 - v - ex) / (2.0 * denominator * denominator) - (x - a) / (tau * tau);
  };
  double A = a;
  double B = 0.0;
  if (delta2 > phi2 + v) {
    B = std::log(delta2 - phi2 - v);
  } else {
    int k = 1;
    while (f(a - k * tau) < 0.0 && k < kMaxBracketSteps) ++k;
    B = a - k * tau;
  }
  double fA = f(A);
  double fB = f(B);
  for (int i = 0; i < kMaxIterations && std::fabs(B - A) > kVolatilityTolerance; ++i) {
    const double C = A + (A - B) * fA / (fB - fA);
    const double fC = f(C);
    if (fC * fB <= 0.0) {
      A = B;
      fA = fB;
    } else {
      fA /= 2.0;
    }
    B = C;
    fB = fC;
  }
  return std::exp(A / 2.0);
}

}  // namespace

Glicko2Rating ratePeriod(const Glicko2Rating& player, std::span<const Glicko2Game> games, double tau) {
  if (games.empty()) return idlePeriods(player, 1, std::numeric_limits<double>::infinity());
  // Step 2: onto the Glicko-2 scale.
  const double mu = (player.rating - kStartRating) / kGlickoScale;
  const double phi = player.deviation / kGlickoScale;
  // Steps 3 and 4: the estimated variance v and the improvement Δ.
  double inverseV = 0.0;
  double sum = 0.0;
  for (const Glicko2Game& game : games) {
    const double muJ = (game.opponent.rating - kStartRating) / kGlickoScale;
    const double phiJ = game.opponent.deviation / kGlickoScale;
    const double gJ = g(phiJ);
    const double e = expected(mu, muJ, phiJ);
    const auto count = static_cast<double>(game.count);
    inverseV += count * gJ * gJ * e * (1.0 - e);
    sum += count * gJ * (game.score - e);
  }
  // Opponents so far off that every result was certain tell nothing (and would
  // divide by zero): the period counts as one without games.
  if (!(inverseV > 0.0) || !std::isfinite(inverseV) || !std::isfinite(sum)) {
    return idlePeriods(player, 1, std::numeric_limits<double>::infinity());
  }
  const double v = 1.0 / inverseV;
  const double delta = v * sum;
  // Step 5: the new volatility.
  const double sigma = newVolatility(player.volatility, phi, v, delta, tau);
  // Steps 6 and 7: the pre-period deviation, then the new deviation and rating.
  const double phiStar = std::sqrt(phi * phi + sigma * sigma);
  const double phiNew = 1.0 / std::sqrt(1.0 / (phiStar * phiStar) + 1.0 / v);
  const double muNew = mu + phiNew * phiNew * sum;
  // Step 8: back onto the shown scale.
  const Glicko2Rating rated{kStartRating + kGlickoScale * muNew, kGlickoScale * phiNew, sigma};
  if (!std::isfinite(rated.rating) || !std::isfinite(rated.deviation) || !std::isfinite(rated.volatility)) {
    return idlePeriods(player, 1, std::numeric_limits<double>::infinity());
  }
  return rated;
}

Glicko2Rating idlePeriods(const Glicko2Rating& player, std::int64_t periods, double maxDeviation) {
  if (periods <= 0) return player;
  const double phi = player.deviation / kGlickoScale;
  const double phiNew = std::sqrt(phi * phi + static_cast<double>(periods) * player.volatility * player.volatility);
  Glicko2Rating idle = player;
  idle.deviation = std::min(kGlickoScale * phiNew, std::max(maxDeviation, player.deviation));
  return idle;
}

}  // namespace fragtally
