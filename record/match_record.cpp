#include "record/match_record.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/file.h"
#include "base/output_names.h"
#include "record/json_text.h"
#include "record/match_summary.h"
#include "record/record_format.h"
#include "report/page_text.h"
#include "report/report_model.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

// A name → kills member list in the order of first mention, each name by its
// first place in its NameKeys. Two log names that read as the same text (one
// in UTF-8, one in Windows-1251) are one key: their kills add up.
using Counts = std::vector<std::pair<std::size_t, std::int32_t>>;

// A list of log names (the players', the weapons') read as UTF-8 and quoted
// for JSON once, for a record names each player in every other player's
// victims; each with the first place of the same text, where the kills of
// all its spellings are counted together.
struct NameKeys {
  std::vector<std::string> texts;
  std::vector<std::string> quoted;
  std::vector<std::size_t> first;

  template <typename Names>
  explicit NameKeys(const Names& names) {
    for (const auto& name : names) {
      texts.push_back(utf8FromLogText(name));
      appendJsonString(quoted.emplace_back(), texts.back());
      const auto same = std::find(texts.begin(), texts.end() - 1, texts.back());
      first.push_back(static_cast<std::size_t>(same - texts.begin()));
    }
  }
};

// The non-zero counts of `kills` (by place in `keys`) as members, in the
// order of first mention, spellings of one text added up.
Counts countsOf(const NameKeys& keys, const std::vector<std::int32_t>& kills) {
  Counts counts;
  std::vector<std::size_t> member(keys.texts.size(), SIZE_MAX);  // by first place
  for (std::size_t c = 0; c < kills.size(); ++c) {
    if (kills[c] == 0) continue;
    std::size_t& at = member[keys.first[c]];
    if (at == SIZE_MAX) {
      at = counts.size();
      counts.emplace_back(keys.first[c], kills[c]);
    } else {
      counts[at].second = wrappingAdd(counts[at].second, kills[c]);
    }
  }
  return counts;
}

void writeCounts(JsonText& json, const NameKeys& keys, const Counts& counts) {
  json.beginObject();
  for (const auto& [at, count] : counts) json.quotedKey(keys.quoted[at]).number(count);
  json.endObject();
}

void writeLogText(JsonText& json, std::string_view text) { json.text(utf8FromLogText(text)); }

void writeTieList(JsonText& json, const NameKeys& playerKeys, const TieList& list) {
  if (list.count == 0) {
    json.null();  // the report shows "-"
    return;
  }
  json.beginObject().key("count").number(list.count).key("players").beginArray();
  for (const std::size_t k : list.players) json.quotedText(playerKeys.quoted[k]);
  json.endArray().endObject();
}

void writePlayer(JsonText& json, const ReportModel& model, const NameKeys& playerKeys, const NameKeys& weaponKeys,
                 std::size_t r, PlayerSummary* summary) {
  const ReportPlayer& player = model.players[r];
  const Counts victims = countsOf(playerKeys, player.victims);
  std::vector<std::int32_t> weaponKills;
  weaponKills.reserve(model.weapons.size());
  for (const ReportWeapon& weapon : model.weapons) weaponKills.push_back(weapon.kills[r]);
  const Counts weapons = countsOf(weaponKeys, weaponKills);

  json.beginObject();
  json.key("rank").number(static_cast<std::int64_t>(r) + 1);
  json.key("name").quotedText(playerKeys.quoted[r]);
  json.key("team");
  writeLogText(json, player.tag);
  json.key("kills").number(player.kills);
  json.key("deaths").number(player.deaths);
  json.key("victims");
  writeCounts(json, playerKeys, victims);
  json.key("weapons");
  writeCounts(json, weaponKeys, weapons);
  json.key("easy_prey");
  writeTieList(json, playerKeys, player.easyPrey);
  json.key("worst_enemy");
  writeTieList(json, playerKeys, player.worstEnemy);
  json.key("favourite_weapon");
  if (player.favouriteWeapon) {
    writeLogText(json, *player.favouriteWeapon);
  } else {
    json.null();
  }
  json.endObject();

  if (summary != nullptr) {
    summary->name = playerKeys.texts[r];
    summary->kills = player.kills;
    summary->deaths = player.deaths;
    summary->weaponKills.reserve(weapons.size());
    for (const auto& [at, count] : weapons) summary->weaponKills.emplace_back(weaponKeys.texts[at], count);
  }
}

void writeWeapon(JsonText& json, const ReportWeapon& weapon, const std::string& quotedName) {
  json.beginObject();
  json.key("name").quotedText(quotedName);
  json.key("kills").number(weapon.total);
  // The file the report writes beside itself, named as the log writes the weapon.
  json.key("picture");
  if (weapon.hasPicture) {
    writeLogText(json, weapon.name + kPictureExtension);
  } else {
    json.null();
  }
  json.endObject();
}

// The people with their texts as the record holds them: UTF-8, each read as
// the record reads the log's other texts.
MatchPlayers peopleInUtf8(const MatchPlayers& people) {
  MatchPlayers converted = people;
  for (MatchPlayer& person : converted.players) {
    person.authId = utf8FromLogText(person.authId);
    for (NameUse& name : person.names) name.name = utf8FromLogText(name.name);
    for (WeaponUse& weapon : person.weapons) weapon.weapon = utf8FromLogText(weapon.weapon);
  }
  return converted;
}

void writePerson(JsonText& json, const MatchPlayer& person) {
  json.beginObject();
  json.key("auth_id").text(person.authId);
  json.key("bot").boolean(person.bot);
  json.key("shared_auth_id").boolean(person.sharedAuthId);
  json.key("names").beginArray();
  for (const NameUse& name : person.names) {
    json.beginObject().key("name").text(name.name).key("lines").number(name.lines).endObject();
  }
  json.endArray();
  json.key("kills").number(person.kills);
  json.key("deaths").number(person.deaths);
  json.key("suicides").number(person.suicides);
  json.key("team_kills").number(person.teamKills);
  json.key("bombs_planted").number(person.bombsPlanted);
  json.key("bombs_defused").number(person.bombsDefused);
  json.key("hostages_rescued").number(person.hostagesRescued);
  json.key("hostages_killed").number(person.hostagesKilled);
  json.key("rounds_won").number(person.roundsWon);
  json.key("weapons").beginArray();
  for (const WeaponUse& weapon : person.weapons) {
    json.beginObject();
    json.key("name").text(weapon.weapon);
    json.key("kills").number(weapon.kills);
    json.key("shots").number(weapon.shots);
    json.key("hits").number(weapon.hits);
    json.key("headshots").number(weapon.headshots);
    json.key("damage").number(weapon.damage);
    json.endObject();
  }
  json.endArray();
  json.endObject();
}

// Behind every field of the first version, so that a reader of that one finds
// its fields where they were.
void writePeople(JsonText& json, const MatchPlayers& people) {
  json.key("people").beginArray();
  for (const MatchPlayer& person : people.players) writePerson(json, person);
  json.endArray();
  json.key("kill_pairs").beginArray();
  for (const KillPair& pair : people.kills) {
    json.beginObject();
    json.key("killer").number(static_cast<std::int64_t>(pair.killer));
    json.key("victim").number(static_cast<std::int64_t>(pair.victim));
    json.key("kills").number(pair.kills);
    json.endObject();
  }
  json.endArray();
  json.key("people_left_out").number(static_cast<std::int64_t>(people.playersLeftOut));
}

// The bounds within which the index reads a record back: a match beyond them
// has no summary, as its record would give none.
bool withinSummaryBounds(const MatchSummary& summary) {
  if (summary.players.size() > kMaxRecordPlayers || summary.date.size() > kMaxRecordText ||
      summary.start.size() > kMaxRecordText || (summary.map && summary.map->size() > kMaxRecordText)) {
    return false;
  }
  for (const PlayerSummary& player : summary.players) {
    if (player.name.size() > kMaxRecordText || player.weaponKills.size() > kMaxRecordWeapons) return false;
    for (const auto& [weapon, kills] : player.weaponKills) {
      if (weapon.size() > kMaxRecordText) return false;
    }
  }
  if (summary.people.players.size() > kMaxMatchPlayers) return false;
  for (const MatchPlayer& person : summary.people.players) {
    if (person.authId.size() > kMaxRecordText || person.names.size() > kMaxNamesPerPlayer ||
        person.weapons.size() > kMaxWeaponsPerPlayer) {
      return false;
    }
    for (const NameUse& name : person.names) {
      if (name.name.size() > kMaxRecordText) return false;
    }
    for (const WeaponUse& weapon : person.weapons) {
      if (weapon.weapon.size() > kMaxRecordText) return false;
    }
  }
  return true;
}

}  // namespace

std::string isoUtcTime(std::int64_t unixSeconds) {
  using namespace std::chrono;
  const sys_seconds time{seconds{unixSeconds}};
  const sys_days day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss clock{time - day};
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

std::string matchRecordJson(const ReportModel& model, const MatchPlayers& people, const LogFileFacts& log,
                            std::optional<MatchSummary>* summary) {
  std::string out;
  out.reserve(1024 + model.players.size() * 512 + model.weapons.size() * 64 + people.players.size() * 512);
  JsonText json(out);
  MatchSummary match;
  json.beginObject();
  json.key("format").text(kRecordFormat);
  json.key("version").number(kRecordVersion);
  json.key("generator").text(kRecordGenerator);
  json.key("log").beginObject();
  json.key("path");
  writeLogText(json, log.path);
  json.key("bytes").number(static_cast<std::int64_t>(log.bytes));
  json.key("modified").text(isoUtcTime(log.modifiedUnixSeconds));
  // Only where the time has a part below the second, so that a record of a
  // time in whole seconds reads as before.
  if (log.modifiedNanoseconds != 0) json.key("modified_nanoseconds").number(log.modifiedNanoseconds);
  json.endObject();
  match.date = utf8FromLogText(model.date);
  match.start = utf8FromLogText(model.startTime);
  json.key("date").text(match.date);
  json.key("start").text(match.start);
  json.key("end");
  writeLogText(json, model.endTime);
  json.key("length_seconds").number(model.gameSeconds);
  match.lengthSeconds = model.gameSeconds;
  json.key("map");
  if (model.map) {
    match.map = utf8FromLogText(*model.map);
    json.text(*match.map);
  } else {
    json.null();  // the placeholder
  }
  json.key("rounds").beginObject().key("ct").number(model.ctWins).key("terrorist").number(model.tWins).endObject();
  match.ctRounds = model.ctWins;
  match.terroristRounds = model.tWins;
  json.key("kills").beginObject();
  json.key("ct_killed_terrorist").number(model.ctKilledT);
  json.key("ct_killed_ct").number(model.ctKilledCt);
  json.key("terrorist_killed_ct").number(model.tKilledCt);
  json.key("terrorist_killed_terrorist").number(model.tKilledT);
  json.endObject();
  match.kills = std::int64_t{model.ctKilledT} + model.ctKilledCt + model.tKilledCt + model.tKilledT;
  std::vector<std::string_view> playerNames;
  for (const ReportPlayer& player : model.players) playerNames.push_back(player.name);
  std::vector<std::string_view> weaponNames;
  for (const ReportWeapon& weapon : model.weapons) weaponNames.push_back(weapon.name);
  const NameKeys playerKeys(playerNames);
  const NameKeys weaponKeys(weaponNames);
  json.key("players").beginArray();
  for (std::size_t r = 0; r < model.players.size(); ++r) {
    writePlayer(json, model, playerKeys, weaponKeys, r, summary != nullptr ? &match.players.emplace_back() : nullptr);
  }
  json.endArray();
  json.key("weapons").beginArray();
  for (std::size_t w = 0; w < model.weapons.size(); ++w) {
    writeWeapon(json, model.weapons[w], weaponKeys.quoted[w]);
    if (summary != nullptr && model.weapons[w].hasPicture) match.pictures.push_back(utf8FromLogText(model.weapons[w].name));
  }
  json.endArray();
  match.people = peopleInUtf8(people);
  writePeople(json, match.people);
  json.endObject();
  out += '\n';
  if (summary != nullptr) {
    if (withinSummaryBounds(match)) {
      *summary = std::move(match);
    } else {
      summary->reset();
    }
  }
  return out;
}

LogFileFacts logFileFacts(const std::string& utf8Path) {
  const FileLook look = lookAtFile(pathFromUtf8(utf8Path));
  if (!look.exists) throw cannotOpenFile(utf8Path);
  LogFileFacts facts;
  facts.path = utf8Path;
  facts.bytes = look.bytes;  // a pipe or a device has no size of its own
  facts.sized = look.regular;
  facts.modifiedUnixSeconds = look.modifiedUnixSeconds;
  facts.modifiedNanoseconds = look.modifiedNanoseconds;
  return facts;
}

}  // namespace fragtally
