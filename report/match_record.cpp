#include "report/match_record.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <system_error>

#include "base/error.h"
#include "base/file.h"
#include "report/page_text.h"
#include "report/report_model.h"
#include "stats/match_stats.h"
#include "version.h"

namespace fragtally {
namespace {

using Json = nlohmann::ordered_json;

Json logText(std::string_view text) { return utf8FromLogText(text); }

// Two log names that read as the same text (one in UTF-8, one in Windows-1251)
// are one key: their kills add up.
void addCount(Json& counts, std::string_view name, std::int32_t count) {
  if (count == 0) return;
  const std::string key = utf8FromLogText(name);
  if (const auto known = counts.find(key); known != counts.end()) {
    *known = wrappingAdd(known->get<std::int32_t>(), count);
  } else {
    counts[key] = count;
  }
}

Json tieList(const ReportModel& model, const TieList& list) {
  if (list.count == 0) return nullptr;  // the report shows "-"
  Json players = Json::array();
  for (const std::size_t k : list.players) players.push_back(logText(model.players[k].name));
  return Json{{"count", list.count}, {"players", std::move(players)}};
}

Json playerJson(const ReportModel& model, std::size_t r) {
  const ReportPlayer& player = model.players[r];
  Json victims = Json::object();
  for (std::size_t c = 0; c < player.victims.size(); ++c) addCount(victims, model.players[c].name, player.victims[c]);
  Json weapons = Json::object();
  for (const ReportWeapon& weapon : model.weapons) addCount(weapons, weapon.name, weapon.kills[r]);

  Json json;
  json["rank"] = r + 1;
  json["name"] = logText(player.name);
  json["team"] = logText(player.tag);
  json["kills"] = player.kills;
  json["deaths"] = player.deaths;
  json["victims"] = std::move(victims);
  json["weapons"] = std::move(weapons);
  json["easy_prey"] = tieList(model, player.easyPrey);
  json["worst_enemy"] = tieList(model, player.worstEnemy);
  json["favourite_weapon"] = player.favouriteWeapon ? logText(*player.favouriteWeapon) : Json(nullptr);
  return json;
}

Json weaponJson(const ReportWeapon& weapon) {
  Json json;
  json["name"] = logText(weapon.name);
  json["kills"] = weapon.total;
  // The file the report writes beside itself, named as the log writes the weapon.
  json["picture"] = weapon.hasPicture ? logText(weapon.name + ".jpg") : Json(nullptr);
  return json;
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

std::string matchRecordJson(const ReportModel& model, const LogFileFacts& log) {
  Json record;
  record["format"] = "fragtally-match";
  record["version"] = 1;
  record["generator"] = "fragtally " FRAGTALLY_VERSION_TEXT;
  record["log"] = Json{{"path", logText(log.path)},
                       {"bytes", log.bytes},
                       {"modified", isoUtcTime(log.modifiedUnixSeconds)}};
  record["date"] = logText(model.date);
  record["start"] = logText(model.startTime);
  record["end"] = logText(model.endTime);
  record["length_seconds"] = model.gameSeconds;
  record["map"] = model.map ? logText(*model.map) : Json(nullptr);  // null: the placeholder
  record["rounds"] = Json{{"ct", model.ctWins}, {"terrorist", model.tWins}};
  record["kills"] = Json{{"ct_killed_terrorist", model.ctKilledT},
                         {"ct_killed_ct", model.ctKilledCt},
                         {"terrorist_killed_ct", model.tKilledCt},
                         {"terrorist_killed_terrorist", model.tKilledT}};
  Json players = Json::array();
  for (std::size_t r = 0; r < model.players.size(); ++r) players.push_back(playerJson(model, r));
  record["players"] = std::move(players);
  Json weapons = Json::array();
  for (const ReportWeapon& weapon : model.weapons) weapons.push_back(weaponJson(weapon));
  record["weapons"] = std::move(weapons);
  return record.dump(2) + "\n";
}

LogFileFacts logFileFacts(const std::string& utf8Path) {
  const std::filesystem::path path = pathFromUtf8(utf8Path);
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error || !std::filesystem::exists(status)) throw cannotOpenFile(utf8Path);
  LogFileFacts facts;
  facts.path = utf8Path;
  if (std::filesystem::is_regular_file(status)) {
    facts.bytes = std::filesystem::file_size(path, error);
    if (error) throw cannotOpenFile(utf8Path);
  }  // a pipe or a device has no size of its own
  const std::filesystem::file_time_type modified = std::filesystem::last_write_time(path, error);
  if (error) throw cannotOpenFile(utf8Path);
  const auto systemTime = std::chrono::file_clock::to_sys(modified);
  facts.modifiedUnixSeconds =
      std::chrono::floor<std::chrono::seconds>(systemTime).time_since_epoch().count();
  return facts;
}

}  // namespace fragtally
