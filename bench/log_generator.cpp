#include "bench/log_generator.h"

#include <array>
#include <charconv>

#include "bench/made_up_names.h"
#include "bench/player_pool.h"

namespace fragtally {
namespace {

constexpr int kCt = 0;
constexpr int kT = 1;
constexpr std::string_view kTeamTags[2] = {"CT", "TERRORIST"};
constexpr std::size_t kPlayersOnServer = 25;

// The first of the made-up names: fewer than the record's 64 name slots, so
// that every kill of the log stays countable.
constexpr std::size_t kLogPlayers = 32;
static_assert(kLogPlayers <= kMadeUpNames.size());

struct Weapon {
  std::string_view name;
  std::uint32_t weight;
};
constexpr std::array<Weapon, 16> kWeapons = {{{"ak47", 18},  {"m4a1", 16},   {"awp", 10},   {"deagle", 10},
                                              {"usp", 6},    {"glock18", 5}, {"mp5navy", 5}, {"p90", 4},
                                              {"sg552", 3},  {"aug", 3},     {"xm1014", 3}, {"scout", 3},
                                              {"grenade", 3}, {"galil", 3},  {"famas", 3},  {"knife", 2}}};

// A public server's weapons: the snipers, pistols, knife and grenade among them.
constexpr std::array<Weapon, 24> kPublicWeapons = {{{"ak47", 18},   {"m4a1", 16},     {"awp", 10},     {"deagle", 9},
                                                    {"usp", 6},     {"glock18", 5},   {"mp5navy", 5},  {"p90", 4},
                                                    {"sg552", 3},   {"aug", 3},       {"xm1014", 2},   {"scout", 3},
                                                    {"grenade", 3}, {"galil", 3},     {"famas", 3},    {"knife", 2},
                                                    {"sg550", 1},   {"g3sg1", 1},     {"p228", 1},     {"elite", 1},
                                                    {"fiveseven", 1}, {"m3", 1},      {"mac10", 1},    {"m249", 1}}};

constexpr std::array<std::string_view, 6> kMaps = {"de_harbor", "de_quarry",  "de_orchard",
                                                   "de_foundry", "de_canal", "de_mesa"};

// Bomb maps and hostage maps of a public server.
constexpr std::array<std::string_view, 8> kPublicMaps = {"de_harbor", "de_quarry", "cs_depot",  "de_orchard",
                                                         "de_foundry", "cs_manor", "de_canal", "cs_pier"};

// The bots of a public server: two seats of three. A human says more than a
// bot (he connects, is validated, leaves the stats plugin's lines), so this
// makes about half the player texts a bot's.
constexpr std::array<std::string_view, 22> kBotNames = {
    "Bot Arlo", "Bot Brix", "Bot Cato", "Bot Dune", "Bot Elm",  "Bot Fenn", "Bot Gil",  "Bot Hale",
    "Bot Ivo",  "Bot Jax",  "Bot Knut", "Bot Lark", "Bot Moss", "Bot Nils", "Bot Orin", "Bot Pike",
    "Bot Quin", "Bot Rex",  "Bot Sol",  "Bot Tove", "Bot Umber", "Bot Vane"};

// How players change their names during a match.
constexpr std::array<std::string_view, 4> kRenameEndings = {"|AFK", " (2)", "_", ".exe"};

// Matches by hour of the day on a public server: few at night, most in the evening.
constexpr std::array<std::uint32_t, 24> kHourWeights = {3, 2, 1, 1, 1, 1, 1, 1, 2, 2, 3, 3,
                                                        4, 4, 4, 5, 6, 7, 8, 9, 9, 8, 6, 4};

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

// When a public match starts: any day of 2025, an hour as kHourWeights has them.
LogClock publicMatchStart(std::uint64_t seed) {
  SplitMix64 random(seed ^ 0xD1B54A32D192ED03u);
  int day = static_cast<int>(random.below(365));
  int month = 1;
  while (day >= daysInMonth(2025, month)) day -= daysInMonth(2025, month++);
  std::uint32_t total = 0;
  for (const std::uint32_t weight : kHourWeights) total += weight;
  std::uint32_t at = random.below(total);
  int hour = 0;
  while (at >= kHourWeights[static_cast<std::size_t>(hour)]) at -= kHourWeights[static_cast<std::size_t>(hour++)];
  const int minute = static_cast<int>(random.below(60));
  return LogClock(2025, month, day + 1, hour, minute, static_cast<int>(random.below(60)));
}

// The start of the long game. Its date draws from generators of its own: drawn
// from random_, the constructor arguments would take their numbers in an order
// that differs between compilers.
LogClock longGameStart(std::uint64_t seed) {
  return LogClock(2021 + static_cast<int>(SplitMix64(seed).below(4)), 1 + static_cast<int>(SplitMix64(~seed).below(12)),
                  1 + static_cast<int>(SplitMix64(seed ^ 0x5A5A5A5Au).below(28)), 19, 58, 30);
}

bool isBombMap(std::string_view map) { return map.starts_with("de_"); }

}  // namespace

LogGenerator::LogGenerator(std::uint64_t seed, LogProfile profile)
    : profile_(profile),
      random_(seed),
      clock_(profile == LogProfile::PublicMatch ? publicMatchStart(seed) : longGameStart(seed)) {
  players_.resize(kLogPlayers);
  if (publicMatch()) {
    steamPrefix_ = random_.chance(200) ? "STEAM_1:" : "STEAM_0:";
    // Two seats of three are bots'; the others get their people as they connect.
    std::size_t bots = 0;
    for (std::size_t i = 0; i < players_.size(); ++i) {
      if (i % 3 == 0) continue;
      players_[i].name = kBotNames[bots++];
      players_[i].id = "BOT";
    }
    mapIndex_ = random_.below(kPublicMaps.size());
    return;
  }
  for (std::size_t i = 0; i < kLogPlayers; ++i) {
    Player& player = players_[i];
    player.name = kMadeUpNames[i];
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
  if (publicMatch()) {
    std::uint32_t total = 0;
    for (const Weapon& weapon : kPublicWeapons) total += weapon.weight;
    std::uint32_t at = random_.below(total);
    for (const Weapon& weapon : kPublicWeapons) {
      if (at < weapon.weight) return weapon.name;
      at -= weapon.weight;
    }
  }
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
  int candidates[kLogPlayers];
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
  const std::string_view map =
      publicMatch() ? kPublicMaps[mapIndex_ % kPublicMaps.size()] : kMaps[mapIndex_ % kMaps.size()];
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
  if (publicMatch() && player.id != "BOT") takeSeat(player);
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
    // A LAN ID is never validated, a pending one only later.
    if (!publicMatch() || player.id.starts_with(steamPrefix_)) {
      beginLine(out, 1);
      out += player.quotedNoTeam;
      out += " STEAM USERID validated";
      endLine(out);
    }
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
    if (publicMatch()) appendPluginLines(out, player);
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
  if (publicMatch()) appendRename(out);
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
  if (publicMatch()) countKill(killer, victim, weapon, teamKill);

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
  if (random_.chance(15) && (!publicMatch() || isBombMap(kPublicMaps[mapIndex_ % kPublicMaps.size()]))) {
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

// `winner` -1 is a draw, which the world triggers.
void LogGenerator::appendRoundEnd(std::string& out, int winner, std::string_view how) {
  if (winner >= 0) (winner == kCt ? ctScore_ : tScore_) += 1;
  beginLine(out, 3);
  if (winner < 0) {
    out += "World";
  } else {
    out += "Team \"";
    out += kTeamTags[winner];
    out += '"';
  }
  out += " triggered \"";
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
  } else if (roundsLeftOnMap_ <= 0 && !publicMatch()) {
    mapIndex_ += 1 + random_.below(kMaps.size() - 1);
    appendMapStart(out);
    for (Player& player : players_) {
      if (player.present) appendEntry(out, player, 2, 1);
    }
  } else {
    appendComings(out);
  }
  --roundsLeftOnMap_;
  if (publicMatch()) appendValidations(out);
  const bool bombMap = !publicMatch() || isBombMap(kPublicMaps[mapIndex_ % kPublicMaps.size()]);

  for (Player& player : players_) player.alive = player.present;
  beginLine(out, 8);
  out += "World triggered \"Round_Start\"";
  endLine(out);
  const int bomber = bombMap ? pickPlayer(true, kT, -1) : -1;
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
      if (!bombMap) {
        appendHostageEnd(out);
        return;
      }
      if (publicMatch() && random_.chance(15)) {
        clock_.advance(60);
        appendRoundEnd(out, -1, "Round_Draw");
        return;
      }
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

// A player takes a seat: a person of the pool nobody present is already.
void LogGenerator::takeSeat(Player& player) {
  PoolPerson person = drawPerson(random_);
  for (int tries = 0; tries < 8; ++tries) {
    bool seated = false;
    for (const Player& other : players_) {
      seated = seated || (other.present && &other != &player && other.person == person.key);
    }
    if (!seated) break;
    person = drawPerson(random_);
  }
  player.person = person.key;
  player.name = std::move(person.name);
  player.validatedId.clear();
  if (person.account.empty()) {
    player.id = person.valveLan ? "VALVE_ID_LAN" : "STEAM_ID_LAN";
  } else if (random_.chance(40)) {
    // The server checks his ID after he has entered: the same UID shows it then.
    player.id = "STEAM_ID_PENDING";
    player.validatedId = steamPrefix_ + person.account;
  } else {
    player.id = steamPrefix_ + person.account;
  }
  player.weapons.clear();
  player.lastWeapon = {};
  player.connectedSeconds = static_cast<std::uint32_t>(clock_.elapsed());
}

// Before a round: the IDs the server has checked since the last one.
void LogGenerator::appendValidations(std::string& out) {
  for (Player& player : players_) {
    if (!player.present || player.validatedId.empty()) continue;
    player.id = std::move(player.validatedId);
    player.validatedId.clear();
    setTeam(player, player.team);
    beginLine(out, 1);
    out += player.quoted;
    out += " STEAM USERID validated";
    endLine(out);
  }
}

// Now and then a player takes another name; his UID and ID stay.
void LogGenerator::appendRename(std::string& out) {
  if (!random_.chance(30)) return;
  const int renaming = pickPlayer(false, -1, -1);
  if (renaming < 0) return;
  Player& player = players_[static_cast<std::size_t>(renaming)];
  if (player.id == "BOT") return;
  std::string newName = player.name;
  newName += kRenameEndings[random_.below(kRenameEndings.size())];
  beginLine(out, 2);
  out += player.quoted;
  out += " changed name to \"";
  out += newName;
  out += '"';
  endLine(out);
  player.name = std::move(newName);
  setTeam(player, player.team);
}

LogGenerator::WeaponTally& LogGenerator::tallyOf(Player& player, std::string_view weapon) {
  for (WeaponTally& tally : player.weapons) {
    if (tally.weapon == weapon) return tally;
  }
  player.weapons.push_back(WeaponTally{weapon});
  return player.weapons.back();
}

void LogGenerator::countKill(Player& killer, Player& victim, std::string_view weapon, bool teamKill) {
  WeaponTally& tally = tallyOf(killer, weapon);
  if (teamKill) {
    ++tally.teamKills;
  } else {
    ++tally.kills;
    if (weapon != "knife" && weapon != "grenade" && random_.chance(350)) ++tally.headshots;
  }
  if (!victim.lastWeapon.empty()) ++tallyOf(victim, victim.lastWeapon).deaths;
  if (weapon != "knife" && weapon != "grenade") killer.lastWeapon = weapon;
}

// The stats plugin's lines of a human who leaves, or is there at the map's
// end: per weapon his figures and where his hits landed, then his time
// connected and his ping. Shots, hits and damage follow from his kills and UID
// alone, so that a trial end (writeLog) draws nothing.
void LogGenerator::appendPluginLines(std::string& out, const Player& player) {
  if (player.id == "BOT") return;
  SplitMix64 mix(std::uint64_t{player.uid} * 0x9E3779B97F4A7C15u + player.weapons.size());
  for (const WeaponTally& tally : player.weapons) {
    const std::uint32_t hits = tally.kills + tally.teamKills + tally.headshots + mix.below(2 * tally.kills + 3);
    const std::uint32_t shots = tally.weapon == "grenade" ? hits + mix.below(3) : hits + mix.below(3 * hits + 5);
    const std::uint32_t damage = hits * mix.between(18, 32) + tally.kills * 40;
    beginLine(out, 0);
    out += player.quoted;
    out += " triggered \"weaponstats\" (weapon \"";
    out += tally.weapon;
    const std::pair<std::string_view, std::uint32_t> figures[] = {
        {"shots", shots},           {"hits", hits},          {"kills", tally.kills},    {"headshots", tally.headshots},
        {"tks", tally.teamKills}, {"damage", damage}, {"deaths", tally.deaths}};
    out += '"';
    for (const auto& [name, value] : figures) {
      out += ") (";
      out += name;
      out += " \"";
      appendNumber(out, value);
      out += '"';
    }
    out += ')';
    endLine(out);

    // The hits that were not to the head, spread over the body.
    std::uint32_t left = hits - tally.headshots;
    const std::uint32_t chest = left / 2;
    left -= chest;
    const std::uint32_t stomach = mix.below(left + 1);
    left -= stomach;
    const std::uint32_t arms = mix.below(left + 1);
    left -= arms;
    const std::pair<std::string_view, std::uint32_t> places[] = {
        {"head", tally.headshots}, {"chest", chest},         {"stomach", stomach},   {"leftarm", arms / 2},
        {"rightarm", arms - arms / 2}, {"leftleg", left / 2}, {"rightleg", left - left / 2}};
    beginLine(out, 0);
    out += player.quoted;
    out += " triggered \"weaponstats2\" (weapon \"";
    out += tally.weapon;
    out += '"';
    for (const auto& [name, value] : places) {
      out += ") (";
      out += name;
      out += " \"";
      appendNumber(out, value);
      out += '"';
    }
    out += ')';
    endLine(out);
  }
  const std::uint64_t connected = clock_.elapsed() - player.connectedSeconds;
  beginLine(out, 0);
  out += player.quoted;
  out += " triggered \"time\" (time \"";
  appendNumber(out, connected / 60);
  out += ':';
  out += static_cast<char>('0' + connected % 60 / 10);
  out += static_cast<char>('0' + connected % 10);
  out += "\")";
  endLine(out);
  beginLine(out, 0);
  out += player.quoted;
  out += " triggered \"latency\" (ping \"";
  appendNumber(out, mix.between(5, 150));
  out += "\")";
  endLine(out);
}

// A round on a hostage map that does not end with a side wiped out: the CTs
// bring the hostages out, or some of them, or the clock runs out; now and then
// a hostage is shot.
void LogGenerator::appendHostageEnd(std::string& out) {
  if (random_.chance(200)) {
    const int shooter = pickPlayer(true, -1, -1);
    if (shooter >= 0) {
      beginLine(out, 15);
      out += players_[static_cast<std::size_t>(shooter)].quoted;
      out += " triggered \"Killed_A_Hostage\"";
      endLine(out);
    }
  }
  const int rescuer = pickPlayer(true, kCt, -1);
  if (rescuer < 0 || random_.chance(300)) {
    clock_.advance(40);
    appendRoundEnd(out, kT, "Hostages_Not_Rescued");
    return;
  }
  beginLine(out, 20);
  out += players_[static_cast<std::size_t>(rescuer)].quoted;
  out += " triggered \"Touched_A_Hostage\"";
  endLine(out);
  const std::uint32_t rescued = random_.between(1, 4);
  for (std::uint32_t i = 0; i < rescued; ++i) {
    const int bringing = random_.chance(700) ? rescuer : pickPlayer(true, kCt, -1);
    beginLine(out, 8);
    out += players_[static_cast<std::size_t>(bringing)].quoted;
    out += " triggered \"Rescued_A_Hostage\"";
    endLine(out);
  }
  if (rescued == 4) {
    appendRoundEnd(out, kCt, "All_Hostages_Rescued");
  } else {
    clock_.advance(30);
    appendRoundEnd(out, kT, "Hostages_Not_Rescued");
  }
}

void LogGenerator::appendMatchEnd(std::string& out) {
  const std::pair<int, int> teams[] = {{kCt, ctScore_}, {kT, tScore_}};
  for (const auto& [team, score] : teams) {
    beginLine(out, team == kCt ? 4 : 0);
    out += "Team \"";
    out += kTeamTags[team];
    out += "\" scored \"";
    appendNumber(out, static_cast<std::uint64_t>(score));
    out += "\" with \"";
    appendNumber(out, static_cast<std::uint64_t>(presentCount(team)));
    out += "\" players";
    endLine(out);
  }
  for (const Player& player : players_) {
    if (player.present) appendPluginLines(out, player);
  }
  beginLine(out, 1);
  out += "Log file closed";
  endLine(out);
}

namespace {

// A public match played round by round while its end still fits after the
// round, then ended. Whole in memory: such a match is a few hundred kilobytes.
std::string publicMatchLog(std::size_t maxBytes, std::uint64_t seed) {
  LogGenerator generator(seed, LogProfile::PublicMatch);
  std::string log;
  generator.appendRound(log);
  std::string end;
  LogGenerator(generator).appendMatchEnd(end);
  for (;;) {
    LogGenerator trial = generator;
    std::string round;
    trial.appendRound(round);
    std::string trialEnd;
    LogGenerator(trial).appendMatchEnd(trialEnd);
    if (log.size() + round.size() + trialEnd.size() > maxBytes) break;
    generator = std::move(trial);
    log += round;
    end = std::move(trialEnd);
  }
  log += end;
  if (log.size() > maxBytes) {
    // Not even one round and the end fit: the whole lines that do.
    const std::size_t lastEnd = maxBytes == 0 ? std::string::npos : log.rfind('\n', maxBytes - 1);
    log.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
  }
  return log;
}

}  // namespace

std::size_t writeLog(std::size_t maxBytes, std::uint64_t seed,
                     const std::function<void(std::string_view)>& sink, LogProfile profile) {
  constexpr std::size_t kPiece = 1 << 20;
  if (profile == LogProfile::PublicMatch) {
    const std::string log = publicMatchLog(maxBytes, seed);
    for (std::size_t at = 0; at < log.size(); at += kPiece) sink(std::string_view(log).substr(at, kPiece));
    return log.size();
  }
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

std::string generateLog(std::size_t maxBytes, std::uint64_t seed, LogProfile profile) {
  std::string log;
  log.reserve(maxBytes);
  writeLog(maxBytes, seed, [&log](std::string_view piece) { log += piece; }, profile);
  return log;
}

}  // namespace fragtally
