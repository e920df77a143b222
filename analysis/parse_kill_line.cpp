#include "analysis/parse_kill_line.h"

#include "analysis/line_marker_texts.h"
#include "base/text.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

constexpr std::size_t npos = std::string_view::npos;

constexpr std::string_view textOf(MarkerText text) { return {text.bytes, text.size}; }
constexpr std::string_view kKilled = textOf(kMarkerTexts[kKilledMarker]);

// What stands before `end` in the text behind the first double quote of `from`.
std::string_view quotedUpTo(std::string_view from, char end) {
  const std::string_view rest = restBehind(from, findByte(from, '"'));
  return textBefore(rest, findByte(rest, end));
}

// Offset of the first "killed" in `fromCt`, the 255 characters from the line's
// first "<CT>" at `ctAt`, given the offset of the line's first "killed"; npos
// when there is none.
std::size_t killedWithin(std::size_t ctAt, std::string_view fromCt, std::size_t killedAt) {
  if (killedAt == npos) return npos;
  if (killedAt < ctAt) return findText(fromCt, kKilled);  // only a later one can count
  const std::size_t offset = killedAt - ctAt;
  return offset + kKilled.size() <= fromCt.size() ? offset : npos;
}

}  // namespace

KillLine cutKillLine(std::string_view line) { return cutKillLine(line, findText(line, kKilled)); }

KillLine cutKillLine(std::string_view line, std::size_t killedAt) {
  KillLine kill;
  // Every cut works on a copy of at most 255 characters: a landmark further away
  // than that is not seen.
  kill.killerName = quotedUpTo(line, '<');
  kill.victimName = quotedUpTo(restAt(line, killedAt), '<');
  const std::size_t withAt = findText(line, textOf(kWith));
  kill.weapon = quotedUpTo(restAt(line, withAt), '"');

  const std::size_t ctAt = findText(line, textOf(kCtTag));
  if (ctAt == npos) {
    kill.killerTeam = "TERRORIST";
    kill.victimTeam = "TERRORIST";
  } else {
    // The killer is CT exactly when "killed" follows the line's first "<CT>";
    // the victim's tag is looked for from that "killed", or else from the "<CT>".
    const std::string_view fromCt = restAt(line, ctAt);
    const std::size_t killedAfterCt = killedWithin(ctAt, fromCt, killedAt);
    kill.killerTeam = killedAfterCt != npos ? "CT" : "TERRORIST";
    const std::string_view victimPart = killedAfterCt != npos ? fromCt.substr(killedAfterCt) : fromCt;
    kill.victimTeam = contains(victimPart, textOf(kTerroristTag)) ? "TERRORIST" : "CT";
  }

  kill.isKill = !kill.killerName.empty() && !kill.victimName.empty() && !kill.weapon.empty() &&
                withAt != npos;
  return kill;
}

void parseKillLine(MatchStats& stats, std::string_view line) {
  parseKillLine(stats, line, findText(line, kKilled));
}

void parseKillLine(MatchStats& stats, std::string_view line, std::size_t killedAt) {
  const KillLine kill = cutKillLine(line, killedAt);
  if (!kill.isKill) return;
  stats.registerKill(kill.killerName, kill.killerTeam, kill.victimName, kill.victimTeam,
                     kill.weapon);
}

}  // namespace fragtally
