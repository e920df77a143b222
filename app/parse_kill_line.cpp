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

}  // namespace

KillLine cutKillLine(std::string_view line) {
  KillLine kill;
  // Every cut works on a copy of at most 255 characters: a landmark further away
  // than that is not seen.
  kill.killerName = quotedUpTo(line, '<');
  kill.victimName = quotedUpTo(restFrom(line, posOf("killed", line)), '<');
  const TextPos with = posOf("with", line);
  kill.weapon = quotedUpTo(restFrom(line, with), '"');

  const TextPos ct = posOf("<CT>", line);
  if (ct == 0) {
    kill.killerTeam = "TERRORIST";
    kill.victimTeam = "TERRORIST";
  } else {
    // The killer is CT exactly when "killed" follows the line's first "<CT>".
    const std::string_view fromCt = restFrom(line, ct);
    const TextPos killed = posOf("killed", fromCt);
    kill.killerTeam = killed != 0 ? "CT" : "TERRORIST";
    kill.victimTeam = contains(restFrom(fromCt, killed), "<TERRORIST>") ? "TERRORIST" : "CT";
  }

  kill.isKill = !kill.killerName.empty() && !kill.victimName.empty() && !kill.weapon.empty() &&
                with != 0;
  return kill;
}

void parseKillLine(MatchStats& stats, std::string_view line) {
  const KillLine kill = cutKillLine(line);
  if (!kill.isKill) return;
  stats.registerKill(kill.killerName, kill.killerTeam, kill.victimName, kill.victimTeam,
                     kill.weapon);
}

}  // namespace fragtally
