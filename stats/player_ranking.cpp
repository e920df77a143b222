#include <utility>

#include "stats/match_stats.h"

namespace fragtally {

Ranking rankingOf(const MatchStats& stats) {
  Ranking ranking{};
  for (std::int32_t i = 0; i < kTableSlots; ++i) {
    std::int32_t total = 0;
    for (std::int32_t j = 0; j < kTableSlots; ++j) {
      if (stats.players.nameAt(j).empty()) break;
      total = wrappingAdd(total, stats.victimKills[i][j]);
    }
    ranking[i] = RankEntry{i, total};
  }

  // This exact exchange procedure fixes the order of equal totals, which the
  // report shows; a stable sort would give another order.
  for (int k = 0; k < kTableSlots - 1; ++k) {
    for (int m = kTableSlots - 1; m > k; --m) {
      if (ranking[k].kills < ranking[m].kills) std::swap(ranking[k], ranking[m]);
    }
  }
  return ranking;
}

void MatchStats::rankPlayers() { ranking = rankingOf(*this); }

}  // namespace fragtally
