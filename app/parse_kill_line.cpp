#include "app/parse_kill_line.h"

#include "base/text.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

// What stands before `end` in the text behind the first double quote of `from`.
std::string_view quotedUpTo(std::string_view from, char end) {
  const std::string_view rest = restFrom(from, posOf('"', from) + 1);
  return copyText(rest, 1, posOf(end, rest) - 1);
}

// 1-based position of the first "killed" in the 255 characters from `start`
// (1-based), given the offset of the line's first one; 0 when there is none.
TextPos killedWithin(std::string_view line, TextPos start, std::size_t killedAt) {
  if (killedAt == std::string_view::npos) return 0;
  const auto first = static_cast<TextPos>(killedAt) + 1;
  if (first < start) return posOf("killed", restFrom(line, start));  // only a later one can count
  return first + 5 < start + kRestLimit ? first - start + 1 : 0;
}

}  // namespace

KillLine cutKillLine(std::string_view line) { return cutKillLine(line, findText(line, "killed")); }

KillLine cutKillLine(std::string_view line, std::size_t killedAt) {
  KillLine kill;
  // Every cut works on a copy of at most 255 characters: a landmark further away
  // than that is not seen.
  const TextPos killed = killedAt == std::string_view::npos ? 0 : static_cast<TextPos>(killedAt) + 1;
  kill.killerName = quotedUpTo(line, '<');
  kill.victimName = quotedUpTo(restFrom(line, killed), '<');
  const TextPos with = posOf("with", line);
  kill.weapon = quotedUpTo(restFrom(line, with), '"');

  const TextPos ct = posOf("<CT>", line);
  if (ct == 0) {
    kill.killerTeam = "TERRORIST";
    kill.victimTeam = "TERRORIST";
  } else {
    // The killer is CT exactly when "killed" follows the line's first "<CT>".
    const std::string_view fromCt = restFrom(line, ct);
    const TextPos killedAfterCt = killedWithin(line, ct, killedAt);
    kill.killerTeam = killedAfterCt != 0 ? "CT" : "TERRORIST";
    kill.victimTeam = contains(restFrom(fromCt, killedAfterCt), "<TERRORIST>") ? "TERRORIST" : "CT";
  }

  kill.isKill = !kill.killerName.empty() && !kill.victimName.empty() && !kill.weapon.empty() &&
                with != 0;
  return kill;
}

void parseKillLine(MatchStats& stats, std::string_view line) {
  parseKillLine(stats, line, findText(line, "killed"));
}

void parseKillLine(MatchStats& stats, std::string_view line, std::size_t killedAt) {
  const KillLine kill = cutKillLine(line, killedAt);
  if (!kill.isKill) return;
  stats.registerKill(kill.killerName, kill.killerTeam, kill.victimName, kill.victimTeam,
                     kill.weapon);
}

}  // namespace fragtally
