#include "bench/log_generator.h"

#include <array>
#include <charconv>

namespace fragtally {
namespace {

constexpr int kCt = 0;
constexpr int kT = 1;
constexpr std::string_view kTeamTags[2] = {"CT", "TERRORIST"};
constexpr std::size_t kPlayersOnServer = 25;

// Made-up players: spaces, brackets, an ampersand and UTF-8 bytes in names, as
// on a real server. Fewer than the record's 64 name slots, so that every kill
// of the log stays countable.
constexpr std::array<std::string_view, 32> kNames = {
    "Ann",        "Bob",         "Grim",      "\xD0\x92\xD0\xB0\xD1\x81\xD1\x8F",
    "J\xC3\xBCrgen", "[XG] Viper", "Make it Rain", "Tom&Jerry",
    "sn1per",     "Dr. Oktopus", "Kestrel",   "Nova",
    "Bram",       "Ilse",        "Quill",     "Ozzy_77",
    "Mira",       "Pavel",       "Eun-ji",    "Rook",
    "lucky (again)", "Hazel",    "Tarik",     "Frost",
    "Juno",       "Wren",        "Oleg",      "Maelstrom",
    "Bo",         "Pixel",       "Zed",       "Calla"};

struct Weapon {
  std::string_view name;
  std::uint32_t weight;
};
constexpr std::array<Weapon, 16> kWeapons = {{{"ak47", 18},  {"m4a1", 16},   {"awp", 10},   {"deagle", 10},
                                              {"usp", 6},    {"glock18", 5}, {"mp5navy", 5}, {"p90", 4},
                                              {"sg552", 3},  {"aug", 3},     {"xm1014", 3}, {"scout", 3},
                                              {"grenade", 3}, {"galil", 3},  {"famas", 3},  {"knife", 2}}};

constexpr std::array<std::string_view, 6> kMaps = {"de_harbor", "de_quarry",  "de_orchard",
                                                   "de_foundry", "de_canal", "de_mesa"};

constexpr std::array<std::string_view, 12> kChat = {
    "gg",         "rush b",           "nice shot",       "wait for me",
    "eco round",  "who has the bomb", "lag",             "one left, long",
    "save",       "ns",               "ok",              "go go go"};
// Chat that says "killed", even "killed ... with": not kills, but the same
// markers as one.
constexpr std::array<std::string_view, 4> kChatKilled = {
    "who killed me?", "killed by a camper again", "i killed 2 with the deagle lol",
    "you killed me with a knife??"};

constexpr std::array<std::string_view, 6> kCvars = {
    "Server cvar \"mp_friendlyfire\" = \"1\"", "Server cvar \"mp_freezetime\" = \"5\"",
    "Server cvar \"mp_roundtime\" = \"3\"",    "Server cvar \"mp_startmoney\" = \"800\"",
    "Server cvar \"mp_timelimit\" = \"0\"",    "Server cvar \"sv_gravity\" = \"800\""};

void appendNumber(std::string& out, std::uint64_t value) {
  char digits[20];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

}  // namespace

// The start date draws from generators of its own: drawn from random_, the
// constructor arguments would take their numbers in an order that differs
// between compilers.
LogGenerator::LogGenerator(std::uint64_t seed)
    : random_(seed),
      clock_(2021 + static_cast<int>(SplitMix64(seed).below(4)), 1 + static_cast<int>(SplitMix64(~seed).below(12)),
             1 + static_cast<int>(SplitMix64(seed ^ 0x5A5A5A5Au).below(28)), 19, 58, 30) {
  players_.resize(kNames.size());
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    Player& player = players_[i];
    player.name = kNames[i];
    if (i % 3 == 2) {
      player.id = "BOT";
    } else {
      player.id = "STEAM_0:";
      appendNumber(player.id, random_.below(2));
      player.id += ':';
      appendNumber(player.id, random_.between(1000, 199999999));
    }
  }
  mapIndex_ = random_.below(kMaps.size());
}

void LogGenerator::beginLine(std::string& out, std::uint32_t maxStep) {
  if (maxStep > 0) clock_.advance(random_.below(maxStep + 1));
  out += clock_.linePrefix();
}

void LogGenerator::giveUid(Player& player) {
  player.uid = nextUid_++;
  setTeam(player, player.team);
}

void LogGenerator::setTeam(Player& player, int team) {
  player.team = team;
  std::string& base = player.quotedNoTeam;
  base = '"';
  base += player.name;
  base += '<';
  appendNumber(base, player.uid);
  base += "><";
  base += player.id;
  base += "><";
  player.quoted = base;
  player.quoted += kTeamTags[team];
  player.quoted += ">\"";
  base += ">\"";
}

std::string_view LogGenerator::pickWeapon() {
  std::uint32_t total = 0;
  for (const Weapon& weapon : kWeapons) total += weapon.weight;
  std::uint32_t at = random_.below(total);
  for (const Weapon& weapon : kWeapons) {
    if (at < weapon.weight) return weapon.name;
    at -= weapon.weight;
  }
  return kWeapons[0].name;
}

int LogGenerator::pickPlayer(bool aliveOnly, int team, int except) {
  int candidates[kNames.size()];
  int count = 0;
  for (std::size_t i = 0; i < players_.size(); ++i) {
    const Player& player = players_[i];
    if (!player.present || (aliveOnly && !player.alive) || (team >= 0 && player.team != team) ||
        static_cast<int>(i) == except) {
      continue;
    }
    candidates[count++] = static_cast<int>(i);
  }
  return count == 0 ? -1 : candidates[random_.below(static_cast<std::uint32_t>(count))];
}

int LogGenerator::aliveCount(int team) const {
  int count = 0;
  for (const Player& player : players_) count += player.present && player.alive && player.team == team;
  return count;
}

int LogGenerator::presentCount(int team) const {
  int count = 0;
  for (const Player& player : players_) count += player.present && player.team == team;
  return count;
}

void LogGenerator::appendOpening(std::string& out) {
  beginLine(out, 0);
  out += "Log file started (file \"logs/L";
  appendNumber(out, 1000000 + random_.below(9000000));
  out += ".log\")";
  endLine(out);
  appendMapStart(out);
  for (std::size_t i = 0; i < kPlayersOnServer; ++i) {
    Player& player = players_[i];
    player.team = static_cast<int>(i % 2);
    appendArrival(out, player);
  }
}

void LogGenerator::appendMapStart(std::string& out) {
  const std::string_view map = kMaps[mapIndex_ % kMaps.size()];
  beginLine(out, 2);
  out += "Loading map \"";
  out += map;
  out += '"';
  endLine(out);
  beginLine(out, 0);
  out += "Server cvars start";
  endLine(out);
  for (const std::string_view cvar : kCvars) {
    beginLine(out, 0);
    out += cvar;
    endLine(out);
  }
  beginLine(out, 0);
  out += "Server cvars end";
  endLine(out);
  beginLine(out, 15);
  out += "Started map \"";
  out += map;
  out += "\" (CRC \"";
  appendNumber(out, random_.next() >> 33);
  out += "\")";
  endLine(out);
  ctScore_ = 0;
  tScore_ = 0;
  roundsLeftOnMap_ = static_cast<int>(random_.between(200, 400));
}

// A player connects (humans) or is added (bots), enters the game and joins his team.
void LogGenerator::appendArrival(std::string& out, Player& player) {
  player.present = true;
  player.alive = false;  // until the next round starts
  giveUid(player);
  if (player.id != "BOT") {
    beginLine(out, 2);
    out += player.quotedNoTeam;
    out += " connected, address \"192.168.";
    appendNumber(out, random_.below(4));
    out += '.';
    appendNumber(out, random_.between(2, 254));
    out += ":27005\"";
    endLine(out);
    beginLine(out, 1);
    out += player.quotedNoTeam;
    out += " STEAM USERID validated";
    endLine(out);
  }
  appendEntry(out, player, 3, 2);
}

// A present player enters the game and joins his team, each line some seconds on.
void LogGenerator::appendEntry(std::string& out, const Player& player, std::uint32_t enterSeconds,
                               std::uint32_t joinSeconds) {
  beginLine(out, enterSeconds);
  out += player.quotedNoTeam;
  out += " entered the game";
  endLine(out);
  beginLine(out, joinSeconds);
  out += player.quotedNoTeam;
  out += " joined team \"";
  out += kTeamTags[player.team];
  out += '"';
  endLine(out);
}

// Between rounds: now and then someone leaves and someone else comes, or a
// player switches teams.
void LogGenerator::appendComings(std::string& out) {
  if (random_.chance(40)) {
    const int leaving = pickPlayer(false, -1, -1);
    Player& player = players_[static_cast<std::size_t>(leaving)];
    beginLine(out, 3);
    out += player.quoted;
    out += " disconnected";
    endLine(out);
    player.present = false;
    const int team = player.team;

    int coming = -1;
    for (std::uint32_t tries = 0; tries < 64 && coming < 0; ++tries) {
      const auto candidate = static_cast<int>(random_.below(players_.size()));
      if (!players_[static_cast<std::size_t>(candidate)].present && candidate != leaving) coming = candidate;
    }
    if (coming >= 0) {
      Player& newcomer = players_[static_cast<std::size_t>(coming)];
      newcomer.team = team;
      appendArrival(out, newcomer);
    }
  }
  if (random_.chance(20)) {
    // The larger team gives a player away, as the server's balancing does.
    const int from = presentCount(kCt) > presentCount(kT) ? kCt : kT;
    const int moving = pickPlayer(false, from, -1);
    if (moving >= 0) {
      Player& player = players_[static_cast<std::size_t>(moving)];
      beginLine(out, 1);
      out += player.quoted;
      out += " joined team \"";
      out += kTeamTags[1 - from];
      out += '"';
      endLine(out);
      setTeam(player, 1 - from);
    }
  }
}

void LogGenerator::appendChat(std::string& out, const Player& speaker) {
  beginLine(out, 2);
  out += speaker.quoted;
  out += random_.chance(300) ? " say_team \"" : " say \"";
  out += random_.chance(250) ? kChatKilled[random_.below(kChatKilled.size())] : kChat[random_.below(kChat.size())];
  out += '"';
  if (!speaker.alive) out += " (dead)";
  endLine(out);
}

// One kill with what may come with it: an attack before it, a plugin's lines
// after it, chat, bomb moves, a suicide.
void LogGenerator::appendKillStep(std::string& out) {
  const int killerIndex = pickPlayer(true, -1, -1);
  Player& killer = players_[static_cast<std::size_t>(killerIndex)];
  const bool teamKill = random_.chance(25) && aliveCount(killer.team) > 1;
  const int victimIndex = pickPlayer(true, teamKill ? killer.team : 1 - killer.team, killerIndex);
  Player& victim = players_[static_cast<std::size_t>(victimIndex)];
  const std::string_view weapon = pickWeapon();

  if (random_.chance(100)) {
    beginLine(out, 3);
    out += killer.quoted;
    out += " attacked ";
    out += victim.quoted;
    out += " with \"";
    out += weapon;
    out += "\" (damage \"";
    appendNumber(out, random_.between(8, 60));
    out += "\") (damage_armor \"";
    appendNumber(out, random_.below(20));
    out += "\") (health \"";
    appendNumber(out, random_.between(1, 60));
    out += "\") (armor \"";
    appendNumber(out, random_.below(101));
    out += "\")";
    endLine(out);
  }

  beginLine(out, 4);
  out += killer.quoted;
  out += " killed ";
  out += victim.quoted;
  out += " with \"";
  out += weapon;
  out += '"';
  endLine(out);
  victim.alive = false;

  if (random_.chance(70)) {
    beginLine(out, 0);
    out += killer.name;
    out += " have killed ";
    out += victim.name;
    out += " from a distance of ";
    appendNumber(out, random_.between(1, 60));
    out += " meters";
    endLine(out);
    if (random_.chance(300)) {
      beginLine(out, 0);
      out += killer.name;
      out += " killed ";
      out += victim.name;
      out += " with a headshot.";
      endLine(out);
    }
  }
  if (random_.chance(50)) {
    const int speaker = pickPlayer(false, -1, -1);
    appendChat(out, players_[static_cast<std::size_t>(speaker)]);
  }
  if (random_.chance(15)) {
    const int carrier = pickPlayer(true, kT, -1);
    if (carrier >= 0) {
      beginLine(out, 3);
      out += players_[static_cast<std::size_t>(carrier)].quoted;
      out += random_.chance(500) ? " triggered \"Dropped_The_Bomb\"" : " triggered \"Got_The_Bomb\"";
      endLine(out);
    }
  }
  if (random_.chance(8)) {
    const int unlucky = pickPlayer(true, -1, -1);
    if (unlucky >= 0 && aliveCount(players_[static_cast<std::size_t>(unlucky)].team) > 1) {
      Player& player = players_[static_cast<std::size_t>(unlucky)];
      beginLine(out, 2);
      out += player.quoted;
      out += " committed suicide with \"";
      out += random_.chance(500) ? "world" : "grenade";
      out += '"';
      endLine(out);
      player.alive = false;
    }
  }
}

void LogGenerator::appendRoundEnd(std::string& out, int winner, std::string_view how) {
  (winner == kCt ? ctScore_ : tScore_) += 1;
  beginLine(out, 3);
  out += "Team \"";
  out += kTeamTags[winner];
  out += "\" triggered \"";
  out += how;
  out += "\" (CT \"";
  appendNumber(out, static_cast<std::uint64_t>(ctScore_));
  out += "\") (T \"";
  appendNumber(out, static_cast<std::uint64_t>(tScore_));
  out += "\")";
  endLine(out);
  beginLine(out, 0);
  out += "World triggered \"Round_End\"";
  endLine(out);
}

void LogGenerator::appendRound(std::string& out) {
  if (!opened_) {
    appendOpening(out);
    opened_ = true;
  } else if (roundsLeftOnMap_ <= 0) {
    mapIndex_ += 1 + random_.below(kMaps.size() - 1);
    appendMapStart(out);
    for (Player& player : players_) {
      if (player.present) appendEntry(out, player, 2, 1);
    }
  } else {
    appendComings(out);
  }
  --roundsLeftOnMap_;

  for (Player& player : players_) player.alive = player.present;
  beginLine(out, 8);
  out += "World triggered \"Round_Start\"";
  endLine(out);
  const int bomber = pickPlayer(true, kT, -1);
  if (bomber >= 0) {
    beginLine(out, 5);
    out += players_[static_cast<std::size_t>(bomber)].quoted;
    out += " triggered \"Spawned_With_The_Bomb\"";
    endLine(out);
  }

  for (;;) {
    if (aliveCount(kCt) == 0 || aliveCount(kT) == 0) {
      const bool ctWon = aliveCount(kCt) > 0;
      appendRoundEnd(out, ctWon ? kCt : kT, ctWon ? "CTs_Win" : "Terrorists_Win");
      return;
    }
    if (random_.chance(45)) {
      // The round ends on the bomb or the clock instead.
      const std::uint32_t ending = random_.below(10);
      const int planter = pickPlayer(true, kT, -1);
      if (ending < 7 && planter >= 0) {
        beginLine(out, 20);
        out += players_[static_cast<std::size_t>(planter)].quoted;
        out += " triggered \"Planted_The_Bomb\"";
        endLine(out);
        const int defuser = ending >= 4 ? pickPlayer(true, kCt, -1) : -1;
        if (defuser >= 0) {
          beginLine(out, 30);
          out += players_[static_cast<std::size_t>(defuser)].quoted;
          out += " triggered \"Defused_The_Bomb\"";
          endLine(out);
          appendRoundEnd(out, kCt, "Bomb_Defused");
        } else {
          clock_.advance(35);
          appendRoundEnd(out, kT, "Target_Bombed");
        }
      } else {
        clock_.advance(40);
        appendRoundEnd(out, kCt, "Target_Saved");
      }
      return;
    }
    appendKillStep(out);
  }
}

std::size_t writeLog(std::size_t maxBytes, std::uint64_t seed,
                     const std::function<void(std::string_view)>& sink) {
  constexpr std::size_t kPiece = 1 << 20;
  LogGenerator generator(seed);
  std::string pending;
  pending.reserve(kPiece + (64 << 10));
  std::size_t written = 0;
  for (;;) {
    generator.appendRound(pending);
    const std::size_t room = maxBytes - written;
    if (pending.size() > room) {
      // Only whole lines: cut after the last line end that still fits.
      const std::size_t lastEnd = room == 0 ? std::string::npos : pending.rfind('\n', room - 1);
      const std::size_t keep = lastEnd == std::string::npos ? 0 : lastEnd + 1;
      if (keep > 0) sink(std::string_view(pending).substr(0, keep));
      return written + keep;
    }
    if (pending.size() >= kPiece) {
      sink(pending);
      written += pending.size();
      pending.clear();
    }
  }
}

std::string generateLog(std::size_t maxBytes, std::uint64_t seed) {
  std::string log;
  log.reserve(maxBytes);
  writeLog(maxBytes, seed, [&log](std::string_view piece) { log += piece; });
  return log;
}

}  // namespace fragtally
