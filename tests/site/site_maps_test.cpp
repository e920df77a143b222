#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "site/maps_page.h"
#include "site/site_build.h"
#include "tests/site/site_matches.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::MatchMaker;
using testing::modelOf;

/// Two matches on de_nuke, one on a map named with markup and three whose
/// log never named the map: the unknown map is played most, yet listed last.
std::vector<MatchMaker> mapsSeason() {
  std::vector<MatchMaker> matches;
  {
    MatchMaker match(1, 20, "de_nuke");
    const std::size_t ann = match.player("STEAM_0:0:1", "ann");
    const std::size_t bea = match.player("STEAM_0:0:2", "bea");
    const std::size_t cid = match.player("STEAM_0:0:3", "cid");
    match.kills(ann, bea, 4, "ak47").kills(bea, ann, 2, "awp").kills(cid, ann, 1, "deagle").rounds(6, 2);
    matches.push_back(match);
  }
  {
    MatchMaker match(2, 20, "de_nuke");
    const std::size_t ann = match.player("STEAM_0:0:1", "ann");
    match.kills(ann, match.player("STEAM_0:0:2", "bea"), 3, "awp").rounds(1, 3);
    matches.push_back(match);
  }
  {
    MatchMaker match(3, 20, "<b>&map");
    match.kills(match.player("STEAM_0:0:1", "ann"), match.player("STEAM_0:0:2", "bea"), 1, "knife");
    matches.push_back(match);
  }
  for (int day = 4; day <= 6; ++day) {
    MatchMaker match(day, 20);
    match.noMap().kills(match.player("STEAM_0:0:1", "ann"), match.player("STEAM_0:0:2", "bea"), 2).rounds(0, 1);
    matches.push_back(match);
  }
  return matches;
}

/// The row of the maps table that names `map`, from <tr> to </tr>.
std::string rowOf(const std::string& page, const std::string& map) {
  const std::size_t table = page.find("<section id=\"maps\">");
  const std::size_t name = page.find(map, table);
  if (table == std::string::npos || name == std::string::npos) return "";
  const std::size_t start = page.rfind("<tr>", name);
  return page.substr(start, page.find("</tr>", name) - start);
}

TEST(SiteMapsTest, TheModelSumsEveryMapMostPlayedFirstTheUnknownLast) {
  const SiteModel model = modelOf(mapsSeason());
  ASSERT_EQ(model.mapFigures.size(), 3u);
  const SiteMap& nuke = model.mapFigures[0];
  ASSERT_EQ(model.maps[static_cast<std::size_t>(nuke.map)], "de_nuke");
  EXPECT_EQ(nuke.matches, 2);
  EXPECT_EQ(nuke.ctRounds, 7);
  EXPECT_EQ(nuke.terroristRounds, 5);
  EXPECT_EQ(nuke.kills, 10);
  EXPECT_EQ(nuke.players, 5);
  ASSERT_EQ(nuke.weapons.size(), 3u);
  EXPECT_EQ(model.weapons[nuke.weapons[0].weapon], "awp");
  EXPECT_EQ(nuke.weapons[0].kills, 5);
  EXPECT_EQ(model.weapons[nuke.weapons[1].weapon], "ak47");
  EXPECT_EQ(model.weapons[nuke.weapons[2].weapon], "deagle");
  EXPECT_EQ(model.matches[nuke.lastMatch].report, "L1.htm") << "the newer of its two matches";
  EXPECT_EQ(model.maps[static_cast<std::size_t>(model.mapFigures[1].map)], "<b>&map");
  EXPECT_EQ(model.mapFigures[2].map, -1);
  EXPECT_EQ(model.mapFigures[2].matches, 3);
  EXPECT_EQ(model.matches[model.mapFigures[2].lastMatch].report, "L5.htm");
}

TEST(SiteMapsTest, ThePageShowsEachMapsRowAndChartWithItsMarkupEscaped) {
  const std::string page = buildMapsPage(modelOf(mapsSeason()), {"ak47", "awp"});
  EXPECT_NE(page.find("<a href=\"maps.htm\" aria-current=\"page\">Карты</a>"), std::string::npos);
  EXPECT_EQ(page.find("<b>&map"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);

  // The chart of popularity, in the table's order, each bar with its figure.
  const std::size_t nukeBar = page.find("<title>de_nuke: 2 матча</title>");
  const std::size_t markupBar = page.find("<title>&lt;b&gt;&amp;map: 1 матч</title>");
  const std::size_t unknownBar = page.find("<title>(неизвестна): 3 матча</title>");
  EXPECT_LT(nukeBar, markupBar);
  EXPECT_LT(markupBar, unknownBar);
  EXPECT_NE(unknownBar, std::string::npos);

  const std::string nuke = rowOf(page, "de_nuke");
  EXPECT_NE(nuke.find("<td class=\"n\">2</td>"), std::string::npos) << nuke;
  EXPECT_NE(nuke.find("<span class=\"ct\">7</span>:<span class=\"t\">5</span>"), std::string::npos) << nuke;
  // The balance: 7 of 12 rounds for CT is 58.3 of the bar's 100.
  EXPECT_NE(nuke.find("width=\"58.3\" height=\"10\" class=\"ct\"><title>CT: 7 раундов</title>"), std::string::npos)
      << nuke;
  EXPECT_NE(nuke.find("<title>T: 5 раундов</title>"), std::string::npos);
  EXPECT_NE(nuke.find("<td class=\"n k\">10</td>"), std::string::npos);
  EXPECT_NE(nuke.find("<td class=\"n\">2,5</td>"), std::string::npos) << "five players over two matches";
  const std::size_t awp = nuke.find("<img class=\"weapon\" alt=\"\" src=\"awp.jpg\"><span class=\"w\">awp</span> "
                                    "<span class=\"k\">5</span>");
  const std::size_t ak47 = nuke.find("src=\"ak47.jpg\"><span class=\"w\">ak47</span> <span class=\"k\">4</span>");
  const std::size_t deagle = nuke.find("<span class=\"w\">deagle</span> <span class=\"k\">1</span>");
  EXPECT_LT(awp, ak47);
  EXPECT_LT(ak47, deagle);
  EXPECT_NE(deagle, std::string::npos);
  EXPECT_EQ(nuke.find("src=\"deagle.jpg\""), std::string::npos) << "no picture the folder does not hold";
  EXPECT_NE(nuke.find("<a href=\"L1.htm\"><time datetime=\"2026-12-02T20:00:00\">02.12.2026</time></a>"),
            std::string::npos);

  const std::string markup = rowOf(page, "&lt;b&gt;&amp;map");
  EXPECT_NE(markup.find("<bdi>&lt;b&gt;&amp;map</bdi>"), std::string::npos);
  EXPECT_NE(markup.find("<title>CT 0 : T 0</title></rect>"), std::string::npos) << "no round won: one grey bar";
  EXPECT_NE(markup.find("<td class=\"n\">2,0</td>"), std::string::npos);

  const std::size_t unknown = page.find("<span class=\"muted\">(неизвестна)</span>");
  EXPECT_GT(unknown, page.find("&lt;b&gt;&amp;map</bdi>")) << "the unknown map last";
  EXPECT_NE(rowOf(page, "(неизвестна)").find("<a href=\"L5.htm\">"), std::string::npos);
}

TEST(SiteMapsTest, WithoutMatchesThePageSaysSo) {
  const std::string page = buildMapsPage(SiteModel(), {});
  EXPECT_NE(page.find("<p class=\"note\">Карт пока нет.</p>"), std::string::npos);
  EXPECT_EQ(page.find("<svg"), std::string::npos);
}

TEST(SiteMapsTest, ThePageIsStoredOnlyWhenItsBytesChange) {
  testing::TempFolder folder;
  const SiteModel model = modelOf(mapsSeason());
  const IndexContent content;
  storeSite(folder.path(), content, model);
  const std::string first = testing::readFile(folder.path() / "maps.htm");
  EXPECT_EQ(first, buildMapsPage(modelOf(mapsSeason()), {}));
  EXPECT_EQ(storeSite(folder.path(), content, model).pagesWritten, 0u);

  std::vector<MatchMaker> more = mapsSeason();
  MatchMaker extra(7, 20, "de_nuke");
  extra.kills(extra.player("STEAM_0:0:1", "ann"), extra.player("STEAM_0:0:2", "bea"), 1);
  more.push_back(extra);
  storeSite(folder.path(), content, modelOf(more));
  EXPECT_NE(testing::readFile(folder.path() / "maps.htm"), first);
}

}  // namespace
}  // namespace fragtally
