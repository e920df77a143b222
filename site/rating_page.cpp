#include "site/rating_page.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "index/index_html.h"
#include "players/glicko2.h"
#include "players/rating_run.h"
#include "version.h"

namespace fragtally {
namespace {

// Glickman's own example: a player of 1500 / 200 / 0.06 who beats a 1400 / 30
// and loses to a 1550 / 100 and a 1700 / 300, with τ = 0.5.
constexpr double kExampleTau = 0.5;

/// A figure with `decimals` decimals and the language's decimal mark.
std::string decimal(double value, int decimals, const SiteTexts& texts) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string result;
  for (const char c : std::string_view(text)) {
    if (c == '.') {
      result += texts.decimalMark;
    } else {
      result += c;
    }
  }
  return result;
}

void appendExample(std::string& page, const SiteTexts& texts) {
  const Glicko2Rating player{1500.0, 200.0, 0.06};
  const std::array<Glicko2Game, 3> games = {Glicko2Game{Glicko2Rating{1400.0, 30.0, 0.06}, 1.0, 1},
                                            Glicko2Game{Glicko2Rating{1550.0, 100.0, 0.06}, 0.0, 1},
                                            Glicko2Game{Glicko2Rating{1700.0, 300.0, 0.06}, 0.0, 1}};
  const Glicko2Rating after = ratePeriod(player, games, kExampleTau);
  // Cut, not rounded, as the paper gives it: 0.059996 is still below 0.06.
  appendFilled(page, texts.ratingExampleHtml,
               {decimal(after.rating, 2, texts), decimal(after.deviation, 2, texts),
                decimal(std::floor(after.volatility * 100000.0) / 100000.0, 5, texts)});
}

}  // namespace

std::string buildRatingPage(std::int64_t minMatches, SiteLanguage language) {
  const SiteTexts& texts = siteTexts(language);
  std::string page;
  page.reserve(12000);
  appendSitePageStart(page, texts.navRatingRules, SitePage::rating, "", language);
  page += "<header>\n<h1>";
  page += texts.navRatingRules;
  page += "</h1>\n<p class=\"lead\">";
  page += texts.ratingRulesLead;
  page += "</p>\n</header>\n";
  appendFilled(page, texts.ratingRulesHtml, {decimal(kRatingTau, 1, texts), groupedCount(minMatches)});
  appendExample(page, texts);
  appendFooter(page, texts);
  page += "</body>\n</html>\n";
  return page;
}

}  // namespace fragtally
