#include "base/site_texts.h"

#include <iterator>

namespace fragtally {
namespace {

// The Russian texts are those the index page has always shown.
constexpr SiteTexts kRussian{
    .pageTitle = "Статистика матчей",
    .lead = "Матчи и игроки по всем отчётам этой папки",
    .totalMatches = "Матчей",
    .totalKills = "Убийств",
    .totalPlayers = "Игроков",
    .firstMatch = "Первый матч",
    .lastMatch = "Последний матч",
    .matchesHeading = "Матчи",
    .noMatches = "Матчей с убийствами пока нет.",
    .logsWithoutKills = "Логов без убийств (не показаны):",
    .columnDate = "Дата",
    .columnMap = "Карта",
    .columnRounds = "Раунды",
    .columnKills = "Убийств",
    .columnBestPlayer = "Лучший игрок",
    .columnPlayers = "Игроков",
    .columnStart = "Начало игры",
    .columnGameTime = "Игровое время",
    .columnReport = "Отчёт",
    .unknownMap = "(неизвестна)",
    .playersHeading = "Игроки",
    .columnRank = "№",
    .columnPlayer = "Игрок",
    .columnMatches = "Матчей",
    .columnDeaths = "Смертей",
    .columnKillsPerDeath = "Убийств на смерть",
    .columnFavouriteWeapon = "Любимое оружие",
    .columnBestMatch = "Лучший матч",
    .navMatches = "Матчи",
    .navPlayers = "Игроки",
    .navRating = "Рейтинг",
    .navAwards = "Награды",
    .navMaps = "Карты",
    .awardKills = "Больше всех убийств",
    .awardKillsPerDeath = "Лучшее соотношение убийств и смертей",
    .awardRatingGain = "Наибольший рост рейтинга",
    .awardSniperKills = "Лучший снайпер",
    .awardKnifeKills = "Мастер ножа",
    .awardGrenadeKills = "Гранатомётчик",
    .awardPistolKills = "Лучший с пистолетом",
    .awardHeadshots = "Больше всех попаданий в голову",
    .awardAccuracy = "Самый меткий",
    .awardBombsPlanted = "Больше всех заложенных бомб",
    .awardBombsDefused = "Больше всех обезвреженных бомб",
    .awardHostagesRescued = "Больше всех спасённых заложников",
    .awardTeamKills = "Худший товарищ по команде",
    .footerBuiltBy = "Страница собрана программой",
    .decimalMark = ",",
};

constexpr SiteTexts kEnglish{
    .pageTitle = "Match statistics",
    .lead = "Matches and players across every report in this folder",
    .totalMatches = "Matches",
    .totalKills = "Kills",
    .totalPlayers = "Players",
    .firstMatch = "First match",
    .lastMatch = "Last match",
    .matchesHeading = "Matches",
    .noMatches = "No matches with kills yet.",
    .logsWithoutKills = "Logs without kills (not shown):",
    .columnDate = "Date",
    .columnMap = "Map",
    .columnRounds = "Rounds",
    .columnKills = "Kills",
    .columnBestPlayer = "Best player",
    .columnPlayers = "Players",
    .columnStart = "Start",
    .columnGameTime = "Game time",
    .columnReport = "Report",
    .unknownMap = "(unknown)",
    .playersHeading = "Players",
    .columnRank = "#",
    .columnPlayer = "Player",
    .columnMatches = "Matches",
    .columnDeaths = "Deaths",
    .columnKillsPerDeath = "Kills per death",
    .columnFavouriteWeapon = "Favourite weapon",
    .columnBestMatch = "Best match",
    .navMatches = "Matches",
    .navPlayers = "Players",
    .navRating = "Rating",
    .navAwards = "Awards",
    .navMaps = "Maps",
    .awardKills = "Most kills",
    .awardKillsPerDeath = "Best kills per death",
    .awardRatingGain = "Biggest rating gain",
    .awardSniperKills = "Best sniper",
    .awardKnifeKills = "Knife master",
    .awardGrenadeKills = "Grenadier",
    .awardPistolKills = "Best with pistols",
    .awardHeadshots = "Most headshots",
    .awardAccuracy = "Best accuracy",
    .awardBombsPlanted = "Most bombs planted",
    .awardBombsDefused = "Most bombs defused",
    .awardHostagesRescued = "Most hostages rescued",
    .awardTeamKills = "Worst team mate",
    .footerBuiltBy = "Page built by",
    .decimalMark = ".",
};

constexpr std::string_view SiteTexts::* kMembers[] = {
    &SiteTexts::pageTitle,         &SiteTexts::lead,
    &SiteTexts::totalMatches,      &SiteTexts::totalKills,
    &SiteTexts::totalPlayers,      &SiteTexts::firstMatch,
    &SiteTexts::lastMatch,         &SiteTexts::matchesHeading,
    &SiteTexts::noMatches,         &SiteTexts::logsWithoutKills,
    &SiteTexts::columnDate,        &SiteTexts::columnMap,
    &SiteTexts::columnRounds,      &SiteTexts::columnKills,
    &SiteTexts::columnBestPlayer,  &SiteTexts::columnPlayers,
    &SiteTexts::columnStart,       &SiteTexts::columnGameTime,
    &SiteTexts::columnReport,      &SiteTexts::unknownMap,
    &SiteTexts::playersHeading,    &SiteTexts::columnRank,
    &SiteTexts::columnPlayer,      &SiteTexts::columnMatches,
    &SiteTexts::columnDeaths,      &SiteTexts::columnKillsPerDeath,
    &SiteTexts::columnFavouriteWeapon, &SiteTexts::columnBestMatch,
    &SiteTexts::navMatches,        &SiteTexts::navPlayers,
    &SiteTexts::navRating,         &SiteTexts::navAwards,
    &SiteTexts::navMaps,
    &SiteTexts::awardKills,        &SiteTexts::awardKillsPerDeath,
    &SiteTexts::awardRatingGain,   &SiteTexts::awardSniperKills,
    &SiteTexts::awardKnifeKills,   &SiteTexts::awardGrenadeKills,
    &SiteTexts::awardPistolKills,  &SiteTexts::awardHeadshots,
    &SiteTexts::awardAccuracy,     &SiteTexts::awardBombsPlanted,
    &SiteTexts::awardBombsDefused, &SiteTexts::awardHostagesRescued,
    &SiteTexts::awardTeamKills,    &SiteTexts::footerBuiltBy,
    &SiteTexts::decimalMark,
};
// A member added to the struct and not listed here would escape the check of
// the tables; the struct holds nothing but texts, so its size tells.
static_assert(sizeof(SiteTexts) == std::size(kMembers) * sizeof(std::string_view));

}  // namespace

const SiteTexts& siteTexts(SiteLanguage language) {
  switch (language) {
    case SiteLanguage::English: return kEnglish;
    case SiteLanguage::Russian: break;
  }
  return kRussian;
}

std::span<std::string_view SiteTexts::* const> siteTextMembers() { return kMembers; }

}  // namespace fragtally
