// Speed of the index over many match records.
//
//   fragtally_index_bench generate DIR COUNT [SEED [INDENT]]
//                                                     COUNT records of realistic size into DIR,
//                                                     indented by INDENT blanks (default -1: one
//                                                     line, as the program writes them)
//   fragtally_index_bench time DIR [RUNS]             medians of each step, without and with the
//                                                     index cache, and of a full tree parse of
//                                                     the same files for comparison
//   fragtally_index_bench rebuild DIR                 one rebuild of the site (for peak memory, under GNU time)
//   fragtally_index_bench site DIR MATCHES PEOPLE [RUNS]
//                                                     the site's model and pages of MATCHES generated
//                                                     matches among PEOPLE people, made in memory as the
//                                                     records' reading hands them on: the model, a first
//                                                     build into DIR, a build with nothing changed, and
//                                                     the process's peak memory, then the largest page
//                                                     of each kind in DIR
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/output_names.h"
#include "bench/split_mix.h"
#include "index/index_cache.h"
#include "index/index_page.h"
#include "index/index_records.h"
#include "index/index_tally.h"
#include "record/match_summary.h"
#include "site/site_build.h"

#if defined(__unix__)
#include <sys/resource.h>
#endif

namespace fragtally {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kMaps[] = {"de_dust2", "de_inferno", "de_nuke", "de_train", "de_aztec",
                                 "cs_office", "de_dust", "cs_italy", "de_cbble", "de_prodigy"};
constexpr const char* kWeapons[] = {"ak47", "m4a1", "awp",  "deagle", "usp",   "glock18", "knife",  "mp5navy",
                                    "famas", "galil", "sg552", "aug", "p90", "grenade", "m3", "scout"};

std::string playerName(SplitMix64& random) {
  // A server's regulars: a few hundred names that come back, some in Cyrillic.
  static constexpr const char* kStems[] = {"Kestrel", "Ozzy", "Mira", "Вася", "Grim", "Yuki", "Otto", "Лёха",
                                           "Niko", "Bravo", "Шторм", "Raven", "Dusk", "Pike", "Zed", "Frost"};
  return std::string(kStems[random.below(16)]) + "_" + std::to_string(random.below(24));
}

nlohmann::ordered_json generatedRecord(SplitMix64& random, std::uint32_t number) {
  using Json = nlohmann::ordered_json;
  const std::uint32_t day = number / 6;
  const std::uint32_t year = 2020 + day / 360;
  char date[16];
  char start[16];
  char end[16];
  const std::uint32_t startSeconds = 10 * 3600 + random.below(12 * 3600);
  const std::uint32_t length = 600 + random.below(2400);
  std::snprintf(date, sizeof date, "%02u/%02u/%04u", day / 30 % 12 + 1, day % 30 + 1, year);
  std::snprintf(start, sizeof start, "%02u:%02u:%02u", startSeconds / 3600, startSeconds / 60 % 60, startSeconds % 60);
  const std::uint32_t endSeconds = startSeconds + length;
  std::snprintf(end, sizeof end, "%02u:%02u:%02u", endSeconds / 3600, endSeconds / 60 % 60, endSeconds % 60);

  std::vector<std::string> names;
  const std::uint32_t playerCount = random.between(8, 20);
  while (names.size() < playerCount) {
    std::string name = playerName(random);
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  std::vector<std::vector<std::uint32_t>> victims(playerCount, std::vector<std::uint32_t>(playerCount));
  std::vector<std::vector<std::uint32_t>> weapons(playerCount, std::vector<std::uint32_t>(std::size(kWeapons)));
  std::uint32_t kills = 0;
  const std::uint32_t killCount = random.between(60, 250);
  for (std::uint32_t k = 0; k < killCount; ++k) {
    const std::uint32_t killer = random.below(playerCount);
    ++victims[killer][random.below(playerCount)];
    ++weapons[killer][random.below(6) < 4 ? random.below(4) : random.below(std::size(kWeapons))];
    ++kills;
  }
  Json players = Json::array();
  for (std::uint32_t p = 0; p < playerCount; ++p) {
    Json player;
    player["rank"] = p + 1;
    player["name"] = names[p];
    player["team"] = p % 2 ? "TERRORIST" : "CT";
    std::uint32_t own = 0;
    std::uint32_t deaths = 0;
    Json victimMap = Json::object();
    for (std::uint32_t v = 0; v < playerCount; ++v) {
      own += victims[p][v];
      deaths += victims[v][p];
      if (victims[p][v]) victimMap[names[v]] = victims[p][v];
    }
    player["kills"] = own;
    player["deaths"] = deaths;
    player["victims"] = victimMap;
    Json weaponMap = Json::object();
    for (std::size_t w = 0; w < std::size(kWeapons); ++w) {
      if (weapons[p][w]) weaponMap[kWeapons[w]] = weapons[p][w];
    }
    player["weapons"] = weaponMap;
    player["easy_prey"] = {{"count", 3}, {"players", {names[(p + 1) % playerCount]}}};
    player["worst_enemy"] = {{"count", 2}, {"players", {names[(p + 2) % playerCount]}}};
    player["favourite_weapon"] = own ? Json(kWeapons[0]) : Json(nullptr);
    players.push_back(player);
  }
  Json weaponTable = Json::array();
  for (const char* weapon : kWeapons) {
    weaponTable.push_back({{"name", weapon}, {"kills", random.below(40)}, {"picture", std::string(weapon) + ".jpg"}});
  }
  Json record;
  record["format"] = "fragtally-match";
  record["version"] = 2;
  record["generator"] = "fragtally 2.0.0.26";
  record["log"] = {{"path", "/srv/hlds/cstrike/logs/L" + std::to_string(number) + ".log"},
                   {"bytes", 30000 + random.below(150000)},
                   {"modified", "2026-12-08T07:14:18Z"}};
  record["date"] = date;
  record["start"] = start;
  record["end"] = end;
  record["length_seconds"] = length;
  record["map"] = kMaps[random.below(std::size(kMaps))];
  record["rounds"] = {{"ct", random.below(16)}, {"terrorist", random.below(16)}};
  const std::uint32_t ctKilledT = kills / 2;
  record["kills"] = {{"ct_killed_terrorist", ctKilledT},
                     {"ct_killed_ct", 0},
                     {"terrorist_killed_ct", kills - ctKilledT},
                     {"terrorist_killed_terrorist", 0}};
  record["players"] = players;
  record["weapons"] = weaponTable;
  // The people as the log tells them: one each, a few with a second name, the
  // stats plugin's figures for the humans, who killed whom.
  Json people = Json::array();
  for (std::uint32_t p = 0; p < playerCount; ++p) {
    const bool bot = random.below(4) == 0;
    Json nameUses = Json::array();
    nameUses.push_back({{"name", names[p]}, {"lines", random.between(20, 400)}});
    if (random.below(5) == 0) nameUses.push_back({{"name", names[p] + "_"}, {"lines", random.between(1, 40)}});
    Json weaponUses = Json::array();
    for (std::size_t w = 0; w < std::size(kWeapons); ++w) {
      if (weapons[p][w] == 0) continue;
      const std::uint32_t shots = bot ? 0 : random.between(20, 400);
      weaponUses.push_back({{"name", kWeapons[w]}, {"kills", weapons[p][w]}, {"shots", shots},
                            {"hits", shots / 3}, {"headshots", shots / 20}, {"damage", shots * 9}});
    }
    people.push_back({{"auth_id", bot ? std::string("BOT") : "STEAM_0:1:" + std::to_string(random.below(90000000))},
                      {"bot", bot}, {"shared_auth_id", false}, {"names", nameUses},
                      {"kills", players[p]["kills"]}, {"deaths", players[p]["deaths"]}, {"suicides", random.below(3)},
                      {"team_kills", random.below(2)}, {"bombs_planted", random.below(4)},
                      {"bombs_defused", random.below(3)}, {"hostages_rescued", 0}, {"hostages_killed", 0},
                      {"rounds_won", random.below(16)}, {"weapons", weaponUses}});
  }
  Json pairs = Json::array();
  for (std::uint32_t killer = 0; killer < playerCount; ++killer) {
    for (std::uint32_t victim = 0; victim < playerCount; ++victim) {
      if (killer != victim && victims[killer][victim] != 0) {
        pairs.push_back({{"killer", killer}, {"victim", victim}, {"kills", victims[killer][victim]}});
      }
    }
  }
  record["people"] = people;
  record["kill_pairs"] = pairs;
  record["people_left_out"] = 0;
  return record;
}

int generate(const std::filesystem::path& folder, std::uint32_t count, std::uint64_t seed, int indent) {
  std::filesystem::create_directories(folder);
  SplitMix64 random(seed);
  std::uint64_t bytes = 0;
  for (std::uint32_t n = 0; n < count; ++n) {
    const std::string text = generatedRecord(random, n).dump(indent) + "\n";
    char name[32];
    std::snprintf(name, sizeof name, "L%05u.json", n);
    std::ofstream(folder / name, std::ios::binary) << text;
    bytes += text.size();
  }
  std::printf("%u records, %.1f KB each on average\n", count, static_cast<double>(bytes) / count / 1024);
  return 0;
}

struct Timing {
  double wall = 0;  // milliseconds
  double cpu = 0;   // milliseconds of the process on any processor
};

// Medians of the wall time and of the processor time: on a machine shared with
// other work the second says more about the code.
template <typename Step>
Timing median(int runs, Step step) {
  std::vector<double> walls;
  std::vector<double> cpus;
  for (int run = 0; run < runs; ++run) {
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    step();
    cpus.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    walls.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(walls.begin(), walls.end());
  std::sort(cpus.begin(), cpus.end());
  return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

// What the index needs, taken from a whole parsed tree: the straightforward way,
// measured against the event reader.
std::size_t treeRead(const std::filesystem::path& folder) {
  std::size_t players = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".json") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto record = nlohmann::json::parse(text, nullptr, false);
    if (record.is_discarded() || record.value("format", "") != "fragtally-match") continue;
    for (const auto& player : record["players"]) players += player["weapons"].size() + player["name"].size();
  }
  return players;
}

int timeSteps(const std::filesystem::path& folder, int runs) {
  // Without a cache first: every record read.
  const std::filesystem::path cache = folder / kIndexCacheName;
  std::filesystem::remove(cache);
  std::size_t matches = 0;
  const Timing read = median(runs, [&] { matches = readIndexContent(folder).matches.size(); });
  const Timing readOne = median(runs, [&] { matches = readIndexContent(folder, 1).matches.size(); });
  const IndexContent content = readIndexContent(folder);
  std::size_t pageBytes = 0;
  const Timing page = median(runs, [&] { pageBytes = buildIndexPage(content).size(); });
  const Timing whole = median(runs, [&] {
    std::filesystem::remove(cache);
    rebuildSite(folder, {});
  });
  rebuildSite(folder, {});
  const Timing again = median(runs, [&] { rebuildSite(folder, {}); });
  std::size_t sink = 0;
  const Timing tree = median(runs, [&] { sink += treeRead(folder); });
  std::printf("%zu matches, %zu players, page %.1f KB; medians of %d runs:\n", matches, content.players.size(),
              static_cast<double>(pageBytes) / 1024, runs);
  std::printf("                          wall ms    cpu ms\n");
  std::printf("  read records           %8.1f  %8.1f\n", read.wall, read.cpu);
  std::printf("  read records, 1 thread %8.1f  %8.1f\n", readOne.wall, readOne.cpu);
  std::printf("  build page             %8.1f  %8.1f\n", page.wall, page.cpu);
  std::printf("  rebuildSite, whole     %8.1f  %8.1f\n", whole.wall, whole.cpu);
  std::printf("  rebuildSite, again     %8.1f  %8.1f   every record known to the cache\n", again.wall, again.cpu);
  std::printf("  read, whole trees     %8.1f  %8.1f   1 thread, for comparison (%zu)\n", tree.wall, tree.cpu,
              sink % 10);
  return 0;
}

// One generated match among `people` people: a few hundred regulars fill half
// of its places, anyone the rest; two teams, kills between them, weapons with
// the server's shot statistics.
void generateMatch(SplitMix64& random, std::uint32_t number, std::uint32_t people, MatchSummary& match) {
  const std::uint32_t day = number / 6;
  char date[16];
  char start[16];
  std::snprintf(date, sizeof date, "%02u/%02u/%04u", day / 28 % 12 + 1, day % 28 + 1, 2020 + day / 336);
  std::snprintf(start, sizeof start, "%02u:%02u:00", 10 + number % 6 * 2, random.below(60));
  match = MatchSummary();
  match.date = date;
  match.start = start;
  match.map = kMaps[random.below(std::size(kMaps))];
  const std::uint32_t count = random.between(10, 16);
  std::vector<std::uint32_t> who;
  while (who.size() < count) {
    const std::uint32_t id = random.chance(500) ? random.below(std::min(people, 400u)) : random.below(people);
    if (std::find(who.begin(), who.end(), id) == who.end()) who.push_back(id);
  }
  for (const std::uint32_t id : who) {
    MatchPlayer& player = match.people.players.emplace_back();
    player.authId = "STEAM_0:" + std::to_string(id % 2) + ":" + std::to_string(id);
    player.names.push_back(NameUse{"Player_" + std::to_string(id), random.between(20, 200)});
    if (random.chance(50)) player.names.push_back(NameUse{"Renamed_" + std::to_string(id), random.between(1, 20)});
    player.roundsWon = random.below(15);
    player.bombsPlanted = random.below(3);
  }
  std::vector<std::vector<std::int64_t>> kills(count, std::vector<std::int64_t>(count));
  const std::uint32_t killCount = random.between(60, 250);
  for (std::uint32_t k = 0; k < killCount; ++k) {
    const std::uint32_t killer = random.below(count);
    std::uint32_t victim = random.below(count / 2) * 2 + (killer % 2 == 0 ? 1 : 0);  // the other team
    if (victim >= count) victim = killer % 2 == 0 ? 1 : 0;
    ++kills[killer][victim];
    MatchPlayer& player = match.people.players[killer];
    ++player.kills;
    ++match.people.players[victim].deaths;
    const char* weapon = kWeapons[random.below(6) < 4 ? random.below(4) : random.below(std::size(kWeapons))];
    auto use = std::find_if(player.weapons.begin(), player.weapons.end(),
                            [&](const WeaponUse& w) { return w.weapon == weapon; });
    if (use == player.weapons.end()) use = player.weapons.insert(player.weapons.end(), WeaponUse{weapon});
    ++use->kills;
    use->shots += random.between(3, 12);
    use->hits += random.between(1, 3);
    use->headshots += random.below(2);
    use->damage += random.between(80, 140);
    ++match.kills;
  }
  for (std::size_t killer = 0; killer < count; ++killer) {
    for (std::size_t victim = 0; victim < count; ++victim) {
      if (kills[killer][victim] != 0) match.people.kills.push_back(KillPair{killer, victim, kills[killer][victim]});
    }
  }
}

long peakKilobytes() {
#if defined(__unix__)
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
#else
  return 0;
#endif
}

/// The largest page of each kind of the site in `folder`: what a phone must
/// load at most, whichever page it opens.
void printLargestPages(const std::filesystem::path& folder) {
  std::map<std::string, std::pair<std::uintmax_t, std::string>> largest;  // kind -> size, name
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().extension() != kReportExtension) continue;
    const std::string name = entry.path().lexically_relative(folder).generic_string();
    const std::string kind = name.starts_with("players/")  ? "a player's page"
                             : name.starts_with("ranking") ? "a page of the ranking"
                             : name.starts_with("matches-") ? "a month's matches"
                                                            : name;
    auto& [size, which] = largest[kind];
    if (entry.file_size() > size) {
      size = entry.file_size();
      which = name;
    }
  }
  std::printf("largest page of each kind:\n");
  for (const auto& [kind, page] : largest) {
    std::printf("  %-24s %8.1f KB   %s\n", kind.c_str(), static_cast<double>(page.first) / 1024, page.second.c_str());
  }
}

int timeSite(const std::filesystem::path& folder, std::uint32_t matches, std::uint32_t people, int runs) {
  std::filesystem::remove_all(folder / kPlayersFolderName);
  const auto gather = [&](IndexContent& content, SiteModel& model) {
    SplitMix64 random(7);
    IndexTally index;
    SiteTally tally({});
    MatchSummary match;  // one at a time, as the records' reading hands them on
    for (std::uint32_t n = 0; n < matches; ++n) {
      generateMatch(random, n, people, match);
      const std::string report = "L" + std::to_string(n) + ".htm";
      index.add(match, report);
      tally.add(match, report);
    }
    content = index.take();
    model = tally.take();
  };
  IndexContent content;
  SiteModel model;
  const Timing made = median(runs, [&] { gather(content, model); });
  SiteBuild first;
  const Timing firstBuild = median(1, [&] { first = storeSite(folder, content, model); });
  SiteBuild again;
  const Timing unchanged = median(runs, [&] { again = storeSite(folder, content, model); });
  std::printf("%u matches, %zu people listed (%zu ranked); medians of %d runs:\n", matches, model.people.size(),
              model.ranked.size(), runs);
  std::printf("                               wall ms    cpu ms\n");
  std::printf("  generate + model            %8.1f  %8.1f\n", made.wall, made.cpu);
  std::printf("  pages, first build          %8.1f  %8.1f   %zu pages written\n", firstBuild.wall, firstBuild.cpu,
              first.pagesWritten);
  std::printf("  pages, nothing changed      %8.1f  %8.1f   %zu pages written\n", unchanged.wall, unchanged.cpu,
              again.pagesWritten);
  std::printf("  peak memory                 %8.1f MiB\n", static_cast<double>(peakKilobytes()) / 1024);
  printLargestPages(folder);
  return 0;
}

}  // namespace
}  // namespace fragtally

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 3 && args[0] == "generate") {
    return fragtally::generate(args[1], static_cast<std::uint32_t>(std::stoul(args[2])),
                               args.size() > 3 ? std::stoull(args[3]) : 1, args.size() > 4 ? std::stoi(args[4]) : -1);
  }
  if (args.size() >= 2 && args[0] == "time") return fragtally::timeSteps(args[1], args.size() > 2 ? std::stoi(args[2]) : 5);
  if (args.size() == 2 && args[0] == "rebuild") return fragtally::rebuildSite(args[1], {}), 0;
  if (args.size() >= 4 && args[0] == "site") {
    return fragtally::timeSite(args[1], static_cast<std::uint32_t>(std::stoul(args[2])),
                               static_cast<std::uint32_t>(std::stoul(args[3])), args.size() > 4 ? std::stoi(args[4]) : 3);
  }
  std::fputs("usage: fragtally_index_bench generate DIR COUNT [SEED [INDENT]] | time DIR [RUNS] | rebuild DIR"
             " | site DIR MATCHES PEOPLE [RUNS]\n", stderr);
  return 2;
}
