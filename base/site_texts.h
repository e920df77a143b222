#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "base/site_language.h"

namespace fragtally {

/// The fixed texts of the site's pages in one language, UTF-8, not yet escaped
/// (none but the HTML members holds & < > or "): a page writes
/// `texts.matchesHeading`, never a literal, so a page is written once for
/// every language and a new language is a new table. Every member is a text
/// and none is empty in any language (the tests check both).
struct SiteTexts {
  // The index page's head.
  std::string_view pageTitle;  ///< the title and the top heading
  std::string_view lead;       ///< the line under the heading

  // The totals under the heading, each a figure and its label.
  std::string_view totalMatches;
  std::string_view totalKills;
  std::string_view totalPlayers;
  std::string_view firstMatch;
  std::string_view lastMatch;

  // The matches' table.
  std::string_view matchesHeading;
  std::string_view noMatches;         ///< instead of the table when no match has kills
  std::string_view logsWithoutKills;  ///< before their count, below the table
  std::string_view columnDate;
  std::string_view columnMap;
  std::string_view columnRounds;  ///< followed by the teams' "CT:T"
  std::string_view columnKills;
  std::string_view columnBestPlayer;
  std::string_view columnPlayers;
  std::string_view columnStart;
  std::string_view columnGameTime;
  std::string_view columnReport;
  std::string_view unknownMap;  ///< the map cell of a match whose map the log never named

  // The players' table.
  std::string_view playersHeading;
  std::string_view columnRank;
  std::string_view columnPlayer;
  std::string_view columnMatches;
  std::string_view columnDeaths;
  std::string_view columnKillsPerDeath;
  std::string_view columnFavouriteWeapon;
  std::string_view columnBestMatch;

  // Links between the site's pages.
  std::string_view navMatches;
  std::string_view navPlayers;
  std::string_view navRating;
  std::string_view navAwards;
  std::string_view navMaps;

  // The pages of the whole ranking and of each month's matches, and the
  // index's links to them; a count follows those that say so.
  std::string_view latestMatchesShown;   ///< a count follows: the matches the index lists
  std::string_view olderMatchesByMonth;  ///< the link to the months' list
  std::string_view monthsHeading;
  std::string_view topShown;      ///< a count follows: the places the index shows
  std::string_view ofTotal;       ///< a count follows: of how many
  std::string_view peopleListed;  ///< a count follows: the people of a part the index only counts
  std::string_view wholeRanking;  ///< the link to the ranking's pages
  std::string_view rankingTitle;  ///< the title of the ranking's pages
  std::string_view monthTitle;    ///< the month's name follows: the title of a month's page
  std::string_view undatedMonth;  ///< instead of a month's name, for matches without a readable date
  std::string_view pagePart;      ///< a number follows: the later pages of one list
  std::string_view newerPage;     ///< the link to the page before, of newer matches or higher places
  std::string_view olderPage;     ///< the link to the page after
  std::string_view pagesHeading;  ///< before the links to every page of one list
  std::string_view playerLatestMatches;  ///< a count follows: the matches a player's page lists
  std::string_view playerOlderMatches;   ///< before the months of his older matches, with his counts

  // The awards' captions, in the order the awards are listed (site/awards.h).
  std::string_view awardKills;
  std::string_view awardKillsPerDeath;
  std::string_view awardRatingGain;
  std::string_view awardSniperKills;
  std::string_view awardKnifeKills;
  std::string_view awardGrenadeKills;
  std::string_view awardPistolKills;
  std::string_view awardHeadshots;
  std::string_view awardAccuracy;
  std::string_view awardBombsPlanted;
  std::string_view awardBombsDefused;
  std::string_view awardHostagesRescued;
  std::string_view awardTeamKills;

  // The charts of when people play, on the index and a player's page.
  std::string_view activityHeading;
  std::string_view killsPerDayHeading;
  std::string_view killsPerDayNote;        ///< after the count of days the chart covers
  std::string_view playerKillsPerDayNote;  ///< likewise, ending with the player's last match
  std::string_view matchesByHourHeading;
  std::string_view matchesByHourNote;
  std::string_view monday;  ///< the days of the week, short, as a grid's rows name them
  std::string_view tuesday;
  std::string_view wednesday;
  std::string_view thursday;
  std::string_view friday;
  std::string_view saturday;
  std::string_view sunday;

  // Counted nouns, each in the forms countedNoun picks from.
  std::string_view killsOne;
  std::string_view killsFew;
  std::string_view killsMany;
  std::string_view matchesOne;
  std::string_view matchesFew;
  std::string_view matchesMany;
  std::string_view roundsOne;
  std::string_view roundsFew;
  std::string_view roundsMany;

  // The maps page.
  std::string_view mapsTitle;
  std::string_view mapsLead;
  std::string_view mapPopularity;
  std::string_view noMaps;
  std::string_view columnSideBalance;
  std::string_view columnPlayersPerMatch;
  std::string_view columnTopWeapons;

  std::string_view footerBuiltBy;  ///< before the program's name and version

  // How figures and dates are written.
  std::string_view decimalMark;  ///< between the whole and the hundredths of a ratio
  std::string_view percentSign;  ///< after a percentage, with its space where the language wants one
  /// A date: Y the year's four digits, M the month's two, D the day's two,
  /// anything else as it is ("D.M.Y" writes 08.12.2026, "Y-M-D" 2026-12-08).
  std::string_view datePattern;
  std::string_view weekFirstDayPattern;  ///< the first day of a week's title, as datePattern reads it
  std::string_view chartDayPattern;      ///< a day on a chart's axis, its year in the tooltip

  // The texts below marked "{}" have figures or links put in their places, in
  // order (fillText).

  // The links between the site's pages.
  std::string_view navRatingRules;  ///< also the rating page's title

  // The index of a site.
  std::string_view totalActivePlayers;
  std::string_view awardsHeading;
  std::string_view allAwardsLink;
  std::string_view rankingHeading;
  std::string_view rankingNote;       ///< {} days, {} the link to the rating page
  std::string_view rankingRulesLink;  ///< the link's text in rankingNote
  std::string_view noRankedYet;
  std::string_view unrankedHeading;
  std::string_view unrankedNote;  ///< {} matches
  std::string_view inactiveHeading;
  std::string_view inactiveNote;  ///< {} days
  std::string_view columnPlace;
  std::string_view columnRating;
  std::string_view columnLastMatch;
  std::string_view latestDayTitle;  ///< {} the day's title

  // A player's page.
  std::string_view playerTitle;  ///< {} his name
  /// His rating as his last day of play left it: a page that changes only
  /// when he plays, not whenever the newest match or anyone's place moves.
  std::string_view cardRatingAfterLastDay;
  std::string_view courseHeading;
  std::string_view noCourse;
  std::string_view courseNote;  ///< {} his games
  std::string_view figuresHeading;
  std::string_view rowSuicides;
  std::string_view rowTeamKills;
  std::string_view rowAccuracy;
  std::string_view rowHeadshots;
  std::string_view rowDamage;
  std::string_view rowBombsPlanted;
  std::string_view rowBombsDefused;
  std::string_view rowHostagesRescued;
  std::string_view rowHostagesKilled;
  std::string_view rowRoundsWon;
  std::string_view noShotsNote;
  std::string_view weaponsHeading;
  std::string_view columnWeapon;
  std::string_view columnShots;
  std::string_view columnHits;
  std::string_view columnAccuracy;
  std::string_view columnHeadshots;
  std::string_view columnDamage;
  std::string_view victimsHeading;
  std::string_view noVictims;
  std::string_view killersHeading;
  std::string_view noKillers;
  std::string_view mapsHeading;
  std::string_view namesHeading;
  std::string_view noAwards;
  std::string_view columnPeriod;
  std::string_view columnAward;
  std::string_view columnFigure;
  std::string_view sharedAward;

  // The awards page and the names of its periods.
  std::string_view awardsLead;
  std::string_view byMonths;
  std::string_view byWeeks;
  std::string_view byDays;
  std::string_view weeksNote;  ///< {} weeks
  std::string_view daysNote;   ///< {} days
  std::string_view weekTitle;  ///< {} its number, {} its first day, {} its last day
  std::string_view monthPeriodTitle;  ///< {} the month's name, {} the year
  std::string_view january;
  std::string_view february;
  std::string_view march;
  std::string_view april;
  std::string_view may;
  std::string_view june;
  std::string_view july;
  std::string_view august;
  std::string_view september;
  std::string_view october;
  std::string_view november;
  std::string_view december;

  // The rating page: its lead, then its explanation and worked example as
  // HTML of their own (siteHtmlTextMembers), the only texts with markup.
  std::string_view ratingRulesLead;
  std::string_view ratingRulesHtml;    ///< {} the system's constant, {} matches to be ranked
  std::string_view ratingExampleHtml;  ///< {} the example's rating, {} deviation, {} volatility
};

/// The site's texts in `language`.
const SiteTexts& siteTexts(SiteLanguage language);

/// The form of a counted noun that goes with `count` in `language`: `one`,
/// `few` or `many` as Russian tells them apart ("1 матч", "3 матча",
/// "5 матчей", "21 матч"); English takes `one` for 1 alone, `many` else.
std::string_view countedNoun(SiteLanguage language, std::int64_t count, std::string_view one, std::string_view few,
                             std::string_view many);

/// Every member of SiteTexts, for going over a table's texts whole.
std::span<std::string_view SiteTexts::* const> siteTextMembers();

/// The members that are HTML rather than plain text.
std::span<std::string_view SiteTexts::* const> siteHtmlTextMembers();

/// `text` with each "{}" replaced by the next of `values`, written as they
/// are (a value is markup or a figure the page made); a "{}" beyond the
/// values is left out.
std::string fillText(std::string_view text, std::initializer_list<std::string_view> values);

/// The day `year`-`month`-`day` as `pattern` writes it (SiteTexts::datePattern).
std::string dateText(std::string_view pattern, int year, int month, int day);

/// The name of month 1 to 12 in the language of `texts`.
std::string_view monthName(const SiteTexts& texts, int month);

}  // namespace fragtally
