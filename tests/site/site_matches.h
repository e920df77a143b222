#pragma once

// Matches made by hand for the site's tests: a record's summary with its
// people filled as the analysis fills them.
#include <cstdint>
#include <string>
#include <vector>

#include "record/match_summary.h"
#include "site/site_model.h"

namespace fragtally::testing {

/// A match on a day (of December 2026 unless told) at an hour, on a map, its
/// people added by auth ID and name ("BOT" for a bot), its kills between them.
class MatchMaker {
 public:
  MatchMaker(int day, int hour, std::string map = "de_dust2", int month = 12, int year = 2026);

  /// The player with this ID and first name, added when new; `lines` more
  /// lines under `name`.
  std::size_t player(const std::string& authId, const std::string& name, std::int64_t lines = 1);
  /// `count` enemy kills of `victim` by `killer`, with `weapon`.
  MatchMaker& kills(std::size_t killer, std::size_t victim, std::int64_t count, const std::string& weapon = "ak47");
  MatchPlayer& at(std::size_t player) { return summary_.people.players[player]; }
  /// The start as the log writes it ("23:59:59"), in place of the whole hour.
  MatchMaker& startAt(const std::string& time);
  /// The rounds each side won.
  MatchMaker& rounds(std::int32_t ct, std::int32_t terrorists);
  /// A log that never named its map.
  MatchMaker& noMap();
  const MatchSummary& summary() const { return summary_; }

 private:
  MatchSummary summary_;
};

/// The site's model of these matches, their reports named "L0.htm", "L1.htm"...
SiteModel modelOf(const std::vector<MatchMaker>& matches, SiteSettings settings = {});

}  // namespace fragtally::testing
