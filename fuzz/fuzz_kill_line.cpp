// Kill lines cut by position only, on any bytes: the cut must agree with the
// rules written out step by step, every cut must stay inside the
// line, teams are only ever "CT" or "TERRORIST", and the record they feed keeps
// its own rules (slots, tags, running bests) whatever sequence of kills comes.
//
// The input is split at LF into lines. Each line is cut and parsed into one
// record; a line with four tabs is also handed to registerKill directly as five
// arbitrary fields, into a second record, so that team texts other than the
// parser's reach the accounting too.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "analysis/parse_kill_line.h"
#include "base/text.h"
#include "stats/match_stats.h"
#include "tests/analysis/kill_line_by_the_steps.h"

namespace {

using fragtally::kTableSlots;
using fragtally::MatchStats;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void checkInside(std::string_view piece, std::string_view line) {
  if (piece.empty()) return;
  const char* begin = line.data();
  const char* end = line.data() + line.size();
  if (piece.data() < begin || piece.data() + piece.size() > end) fail("a cut lies outside the line");
  if (static_cast<fragtally::TextPos>(piece.size()) > fragtally::kRestLimit) fail("a cut is longer than 255");
}

bool isTeam(std::string_view team) { return team == "CT" || team == "TERRORIST"; }

void checkCut(std::string_view line) {
  const fragtally::KillLine kill = fragtally::cutKillLine(line);
  const fragtally::KillLine steps = fragtally::cutKillLineByTheSteps(line);
  if (kill.killerName != steps.killerName || kill.killerTeam != steps.killerTeam ||
      kill.victimName != steps.victimName || kill.victimTeam != steps.victimTeam || kill.weapon != steps.weapon ||
      kill.isKill != steps.isKill) {
    fail("the cut differs from the rules step by step");
  }
  checkInside(kill.killerName, line);
  checkInside(kill.victimName, line);
  checkInside(kill.weapon, line);
  if (!isTeam(kill.killerTeam) || !isTeam(kill.victimTeam)) fail("a team other than CT or TERRORIST");
  const bool complete = !kill.killerName.empty() && !kill.victimName.empty() && !kill.weapon.empty() &&
                        fragtally::contains(line, "with");
  if (kill.isKill != complete) fail("isKill");
}

// The running bests only ever move to a strictly greater count, so each one
// holds the greatest count of its row or column.
void checkRecord(const MatchStats& stats, bool parserTags) {
  const std::int32_t lastPlayer = stats.players.lastIndex();
  const std::int32_t lastWeapon = stats.weapons.lastIndex();
  if (lastPlayer < -1 || lastPlayer >= kTableSlots || lastWeapon < -1 || lastWeapon >= kTableSlots) fail("last index");
  for (int i = 0; i <= lastPlayer; ++i) {
    const std::string_view tag = stats.players.tagAt(i);
    if (parserTags && !isTeam(tag) && tag != "MANIAC") fail("player tag");
  }
  for (int i = 0; i <= lastWeapon; ++i) {
    if (!stats.weapons.tagAt(i).empty()) fail("weapon tag");
  }
  for (int k = 0; k < kTableSlots; ++k) {
    const int favouriteWeapon = stats.favouriteWeapon[k];
    const int favouriteVictim = stats.favouriteVictim[k];
    const int nemesis = stats.nemesis[k];
    if (favouriteWeapon < 0 || favouriteWeapon >= kTableSlots || favouriteVictim < 0 ||
        favouriteVictim >= kTableSlots || nemesis < 0 || nemesis >= kTableSlots) {
      fail("a running best outside the table");
    }
    for (int j = 0; j < kTableSlots; ++j) {
      if (stats.weaponKills[k][j] < 0 || stats.victimKills[k][j] < 0) fail("negative count");
      if ((k > lastPlayer && stats.victimKills[k][j] != 0) || (j > lastPlayer && stats.victimKills[k][j] != 0) ||
          (k > lastPlayer && stats.weaponKills[k][j] != 0) || (j > lastWeapon && stats.weaponKills[k][j] != 0)) {
        fail("a count in an unused slot");
      }
      if (stats.weaponKills[k][j] > stats.weaponKills[k][favouriteWeapon]) fail("favourite weapon");
      if (stats.victimKills[k][j] > stats.victimKills[k][favouriteVictim]) fail("favourite victim");
      if (j != k && stats.victimKills[j][k] > stats.victimKills[nemesis][k]) fail("nemesis");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  auto parsed = std::make_unique<MatchStats>();
  auto direct = std::make_unique<MatchStats>();
  std::int64_t kills = 0;

  std::size_t start = 0;
  while (start <= input.size()) {
    const std::size_t stop = std::min(input.find('\n', start), input.size());
    const std::string_view line = input.substr(start, stop - start);
    start = stop + 1;

    checkCut(line);
    if (fragtally::cutKillLine(line).isKill) ++kills;
    fragtally::parseKillLine(*parsed, line);

    std::vector<std::string_view> fields;
    std::size_t from = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string_view::npos && fields.size() < 4;
         tab = line.find('\t', from)) {
      fields.push_back(line.substr(from, tab - from));
      from = tab + 1;
    }
    if (fields.size() == 4) {
      fields.push_back(line.substr(from));
      direct->registerKill(fields[0], fields[1], fields[2], fields[3], fields[4]);
    }
  }

  // Every real kill counts once for the teams, whether or not a slot was free.
  const std::int64_t teamKills = std::int64_t{parsed->ctKilledT} + parsed->ctKilledCt + parsed->tKilledT + parsed->tKilledCt;
  if (teamKills != kills) fail("team counters");
  checkRecord(*parsed, true);
  checkRecord(*direct, false);
  return 0;
}
