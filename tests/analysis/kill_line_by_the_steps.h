#pragma once

// The kill-line cut written out step by step on 1-based positions and copies,
// exactly as the rules read: the reference that the program's own cut (which
// works on offsets and knows where "killed" stands) is held against.

#include <string_view>

#include "analysis/parse_kill_line.h"
#include "base/text.h"

namespace fragtally {

inline KillLine cutKillLineByTheSteps(std::string_view line) {
  KillLine kill;
  std::string_view a = restFrom(line, posOf('"', line) + 1);
  kill.killerName = copyText(a, 1, posOf('<', a) - 1);
  std::string_view b = restFrom(line, posOf("killed", line));
  a = restFrom(b, posOf('"', b) + 1);
  kill.victimName = copyText(a, 1, posOf('<', a) - 1);
  b = restFrom(line, posOf("with", line));
  a = restFrom(b, posOf('"', b) + 1);
  kill.weapon = copyText(a, 1, posOf('"', a) - 1);

  const TextPos c = posOf("<CT>", line);
  if (c == 0) {
    kill.killerTeam = "TERRORIST";
    kill.victimTeam = "TERRORIST";
  } else {
    b = restFrom(line, c);
    const TextPos k = posOf("killed", b);
    kill.killerTeam = k != 0 ? "CT" : "TERRORIST";
    b = restFrom(b, k);
    kill.victimTeam = contains(b, "<TERRORIST>") ? "TERRORIST" : "CT";
  }
  kill.isKill = !kill.killerName.empty() && !kill.victimName.empty() && !kill.weapon.empty() &&
                posOf("with", line) != 0;
  return kill;
}

}  // namespace fragtally
