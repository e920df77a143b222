#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/output_names.h"
#include "index/index_tally.h"
#include "site/player_file_name.h"
#include "site/player_page.h"
#include "site/rating_page.h"
#include "site/site_build.h"
#include "tests/site/site_matches.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::MatchMaker;
using testing::readFile;
using testing::TempFolder;

TEST(PlayerFileNameTest, ASafeStableNameFromTheKeyAlone) {
  const std::string steam = playerFileName("steam:0:123");
  EXPECT_EQ(steam, playerFileName("steam:0:123")) << "the same key, the same file";
  EXPECT_TRUE(steam.starts_with("steam-0-123-")) << steam;
  EXPECT_EQ(steam.size(), std::string("steam-0-123-").size() + 16 + 4);
  EXPECT_TRUE(isPlayerFileName(steam));

  // Keys that differ only in letter case land on names that differ in more
  // than case, so a Windows folder keeps both.
  const std::string upper = playerFileName("name:Fox");
  const std::string lower = playerFileName("name:fox");
  EXPECT_NE(upper, lower);
  std::string foldedUpper = upper;
  std::transform(foldedUpper.begin(), foldedUpper.end(), foldedUpper.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  EXPECT_EQ(foldedUpper, upper) << "no capital letters at all";

  const std::vector<std::string> strangeKeys = {"name:../../etc/passwd", "name:..\\..\\boot.ini", "name:C:x",
                                                "name:  .  ", "name:CON", "name:Вася", "name:" + std::string(5000, 'x')};
  for (const std::string& key : strangeKeys) {
    const std::string name = playerFileName(key);
    EXPECT_TRUE(isPlayerFileName(name)) << name;
    EXPECT_EQ(name.find_first_of("/\\:"), std::string::npos) << name;
    EXPECT_EQ(name.find(".."), std::string::npos) << name;
    EXPECT_LE(name.size(), 40u + 1 + 16 + 4) << name;
    EXPECT_NE(name.front(), '.') << name;
  }
  EXPECT_TRUE(playerFileName("name:Вася").starts_with("name-")) << "the letters a slug cannot keep drop out";
  EXPECT_TRUE(playerFileName("name:!!!").starts_with("name-"));

  EXPECT_FALSE(isPlayerFileName("index.htm"));
  EXPECT_FALSE(isPlayerFileName("notes-0123456789abcdef.txt"));
  EXPECT_FALSE(isPlayerFileName("Fox-0123456789abcdef.htm")) << "a capital is none of ours";
  EXPECT_FALSE(isPlayerFileName("fox-0123456789abcdeg.htm"));
  EXPECT_FALSE(isPlayerFileName("-0123456789abcdef.htm"));
  EXPECT_TRUE(isPlayerFileName("fox-0123456789abcdef.htm"));
}

std::vector<MatchMaker> season() {
  std::vector<MatchMaker> matches;
  for (int day = 1; day <= 4; ++day) {
    MatchMaker match(day, 20, day % 2 ? "de_nuke" : "cs_office");
    const std::size_t ann = match.player("STEAM_0:0:1", "ann");
    const std::size_t bea = match.player("STEAM_0:0:2", "bea");
    const std::size_t cid = match.player("STEAM_ID_LAN", "cid");
    match.kills(ann, bea, 3 + day).kills(bea, ann, 2).kills(cid, ann, day).kills(ann, cid, 1, "awp");
    matches.push_back(match);
  }
  return matches;
}

/// What the pages of `matches`, added in this order, hold: every file in the folder by name.
struct Site {
  IndexContent content;
  SiteModel model;
};

Site siteOf(const std::vector<MatchMaker>& matches, const std::vector<std::size_t>& order, SiteSettings settings = {}) {
  IndexTally index;
  SiteTally people(std::move(settings));
  for (const std::size_t at : order) {
    const std::string report = "L12" + std::to_string(at) + ".htm";
    index.add(matches[at].summary(), report);
    people.add(matches[at].summary(), report);
  }
  return Site{index.take(), people.take()};
}

std::vector<std::size_t> inOrder(std::size_t count) {
  std::vector<std::size_t> order(count);
  for (std::size_t at = 0; at < count; ++at) order[at] = at;
  return order;
}

std::map<std::string, std::string> filesIn(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    // The site's cache keeps the pages' times, which differ from folder to folder.
    if (entry.is_regular_file() && entry.path().filename() != "site.cache") files[entry.path().lexically_relative(folder).generic_string()] = readFile(entry.path());
  }
  return files;
}

TEST(SitePagesTest, TheSameRecordsGiveTheSameBytesInAnyOrder) {
  const std::vector<MatchMaker> matches = season();
  TempFolder one;
  TempFolder other;
  const Site first = siteOf(matches, {0, 1, 2, 3});
  const Site second = siteOf(matches, {3, 1, 0, 2});
  const SiteBuild built = storeSite(one.path(), first.content, first.model);
  storeSite(other.path(), second.content, second.model);
  const auto files = filesIn(one.path());
  EXPECT_EQ(files, filesIn(other.path()));
  // The index, the ranking, December's matches, the rating, awards and maps
  // pages and a page for each of the three.
  EXPECT_EQ(files.size(), 6u + 3u);
  EXPECT_EQ(built.pagesWritten, 9u);
  EXPECT_TRUE(files.contains("players/" + playerFileName("name:cid")));

  // Every page: UTF-8 declared, Russian, the header linking the site's pages.
  for (const auto& [name, page] : files) {
    EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos) << name;
    EXPECT_NE(page.find("<html lang=\"ru\">"), std::string::npos) << name;
    EXPECT_NE(page.find("<nav class=\"site\">"), std::string::npos) << name;
    const std::string root = name.starts_with("players/") ? "../" : "";
    EXPECT_NE(page.find("<a href=\"" + root + "awards.htm\""), std::string::npos) << name;
    EXPECT_NE(page.find("<a href=\"" + root + "maps.htm\""), std::string::npos) << name;
  }
  const std::string& ann = files.at("players/" + playerFileName("steam:0:1"));
  EXPECT_NE(ann.find("<a href=\"../index.htm\">Матчи</a>"), std::string::npos);
  EXPECT_NE(ann.find("<a href=\"../rating.htm\">"), std::string::npos);
  EXPECT_NE(ann.find("<a href=\"../L123.htm\"><time datetime=\"2026-12-04T20:00:00\">04.12.2026</time></a>"),
            std::string::npos)
      << "his latest match first, linked to its report";
  EXPECT_NE(ann.find("<polyline points=\""), std::string::npos);
  EXPECT_EQ(ann.find("<script"), std::string::npos) << "nothing needs a script";
  EXPECT_NE(ann.find("<a href=\"" + playerFileName("steam:0:2") + "\"><bdi>bea</bdi></a>"), std::string::npos);
  const std::string& index = files.at("index.htm");
  EXPECT_NE(index.find("<section id=\"ranking\">"), std::string::npos);
  EXPECT_NE(index.find("href=\"players/" + playerFileName("steam:0:1") + "\""), std::string::npos);
}

TEST(SitePagesTest, OnlyChangedPagesAreStoredAndPagesOfTheGoneRemoved) {
  std::vector<MatchMaker> matches = season();
  TempFolder folder;
  const Site all = siteOf(matches, inOrder(matches.size()));
  storeSite(folder.path(), all.content, all.model);
  const SiteBuild again = storeSite(folder.path(), all.content, all.model);
  EXPECT_EQ(again.pagesWritten, 0u) << "nothing new, nothing written";
  EXPECT_EQ(again.pagesRemoved, 0u);

  // A page damaged since is stored again; only it.
  const std::filesystem::path annPage = folder / "players" / playerFileName("steam:0:1");
  testing::writeFile(annPage, "damaged");
  EXPECT_EQ(storeSite(folder.path(), all.content, all.model).pagesWritten, 1u);
  EXPECT_NE(readFile(annPage), "damaged");

  // cid gone (hidden now): his page removed, files not named like ours left alone.
  testing::writeFile(folder / "players" / "notes.htm", "mine");
  testing::writeFile(folder / "players" / "Cid-0123456789abcdef.htm", "mine too");
  SiteSettings hiding;
  hiding.playersFile = readPlayersFile("hide name:cid\n");
  const Site without = siteOf(matches, inOrder(matches.size()), hiding);
  const SiteBuild hidden = storeSite(folder.path(), without.content, without.model);
  EXPECT_EQ(hidden.pagesRemoved, 1u);
  EXPECT_FALSE(std::filesystem::exists(folder / "players" / playerFileName("name:cid")));
  EXPECT_EQ(readFile(folder / "players" / "notes.htm"), "mine");
  EXPECT_EQ(readFile(folder / "players" / "Cid-0123456789abcdef.htm"), "mine too");
  // The index, the ranking, the awards (he is no candidate now) and the pages
  // that linked him change; the rating page and the month's matches do not.
  EXPECT_EQ(hidden.pagesWritten, 5u);
}

// A new match of other people must not rewrite the page of everyone who
// once played: a player's page shows nothing that moves with others' matches
// (his place, his uncertainty grown over the days since he last played).
TEST(SitePagesTest, APlayersPageStaysAsItIsWhileOthersPlay) {
  std::vector<MatchMaker> matches = season();
  const SiteModel before = testing::modelOf(matches);
  // Three weeks later, in another week and month, two others play three
  // matches: dan is ranked, above ann, and the newest day moves on.
  for (int day = 4; day <= 6; ++day) {
    MatchMaker later(day, 21, "de_dust2", 1, 2027);
    later.kills(later.player("STEAM_0:0:4", "dan"), later.player("STEAM_0:0:5", "eve"), 30);
    matches.push_back(later);
  }
  const SiteModel after = testing::modelOf(matches);
  const SitePerson* annBefore = before.personByKey("steam:0:1");
  const SitePerson* annAfter = after.personByKey("steam:0:1");
  ASSERT_NE(annBefore, nullptr);
  ASSERT_NE(annAfter, nullptr);
  ASSERT_NE(annBefore->place, annAfter->place) << "the ranking did change";
  ASSERT_NE(annBefore->rating.rating.deviation, annAfter->rating.rating.deviation);
  EXPECT_EQ(buildPlayerPage(before, *annBefore, {}), buildPlayerPage(after, *annAfter, {}));
}

TEST(SitePagesTest, AHostileNameIsTextOnEveryPage) {
  const std::string hostile = "<script>alert(\"x\")</script>&'";
  MatchMaker match(1, 20, "<b>map</b>");
  const std::size_t bad = match.player("STEAM_0:0:66", hostile);
  match.kills(bad, match.player("STEAM_0:0:2", "bea"), 2, "<img src=x>");
  const Site site = siteOf({match}, {0});
  TempFolder folder;
  storeSite(folder.path(), site.content, site.model);
  for (const auto& [name, page] : filesIn(folder.path())) {
    EXPECT_EQ(page.find("<script>alert"), std::string::npos) << name;
    EXPECT_EQ(page.find("<b>map"), std::string::npos) << name;
    EXPECT_EQ(page.find("<img src=x"), std::string::npos) << name;
  }
  const std::string page = readFile(folder / "players" / playerFileName("steam:0:66"));
  EXPECT_NE(page.find("<title>&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;&#39; — игрок</title>"),
            std::string::npos);
  EXPECT_NE(page.find("&lt;b&gt;map&lt;/b&gt;"), std::string::npos);
  EXPECT_NE(readFile(folder / "index.htm").find("&lt;script&gt;alert(&quot;x&quot;)"), std::string::npos);
}

/// The first Cyrillic letter of UTF-8 text (U+0400 to U+04FF, lead bytes
/// D0 to D3), or "" when there is none.
std::string firstCyrillic(const std::string& text) {
  for (std::size_t at = 0; at + 1 < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte >= 0xD0 && byte <= 0xD3) return text.substr(at > 40 ? at - 40 : 0, 80);
  }
  return "";
}

// Every page of an English site: English, each text from the English table,
// figures with a decimal point and dates year first; the names from the logs
// are the only text not the site's own, and these are Latin.
TEST(SitePagesTest, AnEnglishSiteHasNoRussianLeft) {
  std::vector<MatchMaker> matches = season();
  matches[0].at(0).weapons[0].shots = 40;
  matches[0].at(0).weapons[0].hits = 10;
  matches.emplace_back(5, 21, "de_inferno", 11);  // without kills: counted on the index, not listed
  SiteSettings english;
  english.language = SiteLanguage::English;
  english.minMatches = 2;
  const Site site = siteOf(matches, inOrder(matches.size()), english);
  TempFolder folder;
  storeSite(folder.path(), site.content, site.model);
  const auto files = filesIn(folder.path());
  // Every page of the site, whichever pages it has: the index, the rating,
  // awards, maps, ranking and months' pages and a page for each of the three.
  ASSERT_GE(files.size(), 3u + 3u);
  for (const char* page : {"index.htm", "rating.htm", "awards.htm", "maps.htm"}) {
    EXPECT_TRUE(files.contains(page)) << page;
  }
  for (const auto& [name, page] : files) {
    EXPECT_EQ(firstCyrillic(page), "") << name;
    EXPECT_NE(page.find("<html lang=\"en\">"), std::string::npos) << name;
    EXPECT_NE(page.find("Page built by fragtally"), std::string::npos) << name;
  }
  const std::string& index = files.at("index.htm");
  EXPECT_NE(index.find("<h1>Match statistics</h1>"), std::string::npos);
  EXPECT_NE(index.find("<time datetime=\"2026-12-04T20:00:00\">2026-12-04</time>"), std::string::npos);
  EXPECT_NE(index.find("localeCompare(y.textContent, 'en')"), std::string::npos);
  EXPECT_NE(index.find(">December 2026</a></h3>"), std::string::npos);
  EXPECT_NE(index.find(">Day 2026-12-04</a></h3>"), std::string::npos);
  EXPECT_NE(index.find("Players who played within 60 days of the latest match"), std::string::npos);
  const std::string& ann = files.at("players/" + playerFileName("steam:0:1"));
  EXPECT_NE(ann.find("<td class=\"n\">25.0%</td>"), std::string::npos) << "10 hits of 40 shots";
  EXPECT_NE(ann.find("<title>ann — player</title>"), std::string::npos);
  EXPECT_NE(ann.find("Accuracy (hits per shot)"), std::string::npos);
  const std::string& awards = files.at("awards.htm");
  EXPECT_NE(awards.find(">Week 49 (2026-11-30 to 2026-12-06)</h3>"), std::string::npos);
  const std::string rating = files.at("rating.htm");
  EXPECT_NE(rating.find("<b>1464.05</b>"), std::string::npos);
  EXPECT_NE(rating.find("<b>0.05999</b>"), std::string::npos);
  EXPECT_NE(rating.find("at least 2 matches"), std::string::npos);
  EXPECT_NE(rating.find("τ (tau) = 0.3"), std::string::npos);
}

TEST(SitePagesTest, TheRatingPageWorksGlickmansExample) {
  const std::string page = buildRatingPage(7);
  // Glickman's example: r' = 1464.0507, RD' = 151.5165, σ' = 0.059996 worked
  // without rounding between the steps (his paper rounds μ' and φ' first and
  // so prints 1464.06).
  EXPECT_NE(page.find("<b>1464,05</b>"), std::string::npos);
  EXPECT_NE(page.find("<b>151,52</b>"), std::string::npos);
  EXPECT_NE(page.find("<b>0,05999</b>"), std::string::npos);
  EXPECT_NE(page.find("не меньше 7 матчей"), std::string::npos);
  EXPECT_NE(page.find("τ (тау) = 0,3"), std::string::npos);
}

TEST(SitePagesTest, APlayersPageShowsWeaponPicturesTheFolderHoldsAndAccuracyWhereWritten) {
  std::vector<MatchMaker> matches = season();
  matches[0].at(0).weapons[0].shots = 40;
  matches[0].at(0).weapons[0].hits = 10;
  const Site site = siteOf(matches, inOrder(matches.size()));
  const auto ann = std::find_if(site.model.people.begin(), site.model.people.end(),
                                [](const SitePerson& person) { return person.key == "steam:0:1"; });
  const std::string page = buildPlayerPage(site.model, *ann, {"ak47"});
  EXPECT_NE(page.find("<img class=\"weapon\" alt=\"\" src=\"../ak47.jpg\">ak47"), std::string::npos);
  EXPECT_EQ(page.find("src=\"../awp.jpg\""), std::string::npos) << "no picture where the folder has none";
  EXPECT_NE(page.find("<td class=\"n\">25,0\u00A0%</td>"), std::string::npos) << "10 hits of 40 shots";
  const auto bea = std::find_if(site.model.people.begin(), site.model.people.end(),
                                [](const SitePerson& person) { return person.key == "steam:0:2"; });
  const std::string beaPage = buildPlayerPage(site.model, *bea, {});
  EXPECT_EQ(beaPage.find("Точность (попаданий на выстрел)"), std::string::npos) << "no shots written for her";
  EXPECT_NE(beaPage.find("пишет не каждый сервер"), std::string::npos);
}

}  // namespace
}  // namespace fragtally
