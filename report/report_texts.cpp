#include "report/report_texts.h"

#include <iterator>

#include "report/cp1251.h"

namespace fragtally {
namespace {

// The fixed report's texts, byte for byte as its format has them (the
// missing "ё" and comma spacing included).
constexpr ReportTexts kRussian{
    .fileAnalysis = "Анализ файла"_cp1251,
    .summaryCaption = "Основная информация"_cp1251,
    .date = "Дата"_cp1251,
    .map = "Карта"_cp1251,
    .ctWins = "CT_win",
    .terroristWins = "TERROR_win",
    .start = "Начало игры"_cp1251,
    .end = "Окончание игры"_cp1251,
    .gameTime = "Игровое время"_cp1251,
    .unknownMap = "(неизвестна)"_cp1251,
    .battleCaption = "Статистика битвы"_cp1251,
    .killsByCts = "Убийства,совершенные контр-террористами"_cp1251,
    .killsByTerrorists = "Убийства,совершенные террористами"_cp1251,
    .killsCaption = "Статистика убийств(всеми видами оружия)"_cp1251,
    .killer = "Убийца"_cp1251,
    .number = "№"_cp1251,
    .kills = "Убийств"_cp1251,
    .deaths = "Смертей"_cp1251,
    .easyPrey = "Легкая добыча"_cp1251,
    .worstEnemy = "Злостный враг"_cp1251,
    .favouriteWeapon = "Любимое оружие"_cp1251,
    .deathsRow = "СМЕРТЕЙ"_cp1251,
    .legendCt = "*Истинный контр-террорист"_cp1251,
    .legendTerrorist = "*Натуральный террорюга"_cp1251,
    .legendManiac = "*Просто маньяк"_cp1251,
    .weaponsCaption = "Использованное в битве оружие"_cp1251,
    .weapon = "Оружие"_cp1251,
    .total = "ИТОГО"_cp1251,
    .pageTitle = "Статистика матча"_cp1251,
    .backToIndex = "Все матчи"_cp1251,
};

constexpr ReportTexts kEnglish{
    .fileAnalysis = "Analysis of the file",
    .summaryCaption = "Match summary",
    .date = "Date",
    .map = "Map",
    .ctWins = "CT wins",
    .terroristWins = "T wins",
    .start = "Game start",
    .end = "Game end",
    .gameTime = "Game time",
    .unknownMap = "(unknown)",
    .battleCaption = "Team figures",
    .killsByCts = "Kills by counter-terrorists",
    .killsByTerrorists = "Kills by terrorists",
    .killsCaption = "Who killed whom (all weapons)",
    .killer = "Killer",
    .number = "#",
    .kills = "Kills",
    .deaths = "Deaths",
    .easyPrey = "Easy prey",
    .worstEnemy = "Worst enemy",
    .favouriteWeapon = "Favourite weapon",
    .deathsRow = "DEATHS",
    .legendCt = "*Counter-terrorist",
    .legendTerrorist = "*Terrorist",
    .legendManiac = "*Maniac: killed his own team",
    .weaponsCaption = "Weapons used in the battle",
    .weapon = "Weapon",
    .total = "TOTAL",
    .pageTitle = "Match statistics",
    .backToIndex = "All matches",
};

constexpr std::string_view ReportTexts::* kMembers[] = {
    &ReportTexts::fileAnalysis,   &ReportTexts::summaryCaption,  &ReportTexts::date,
    &ReportTexts::map,            &ReportTexts::ctWins,          &ReportTexts::terroristWins,
    &ReportTexts::start,          &ReportTexts::end,             &ReportTexts::gameTime,
    &ReportTexts::unknownMap,     &ReportTexts::battleCaption,   &ReportTexts::killsByCts,
    &ReportTexts::killsByTerrorists, &ReportTexts::killsCaption, &ReportTexts::killer,
    &ReportTexts::number,         &ReportTexts::kills,           &ReportTexts::deaths,
    &ReportTexts::easyPrey,       &ReportTexts::worstEnemy,      &ReportTexts::favouriteWeapon,
    &ReportTexts::deathsRow,      &ReportTexts::legendCt,        &ReportTexts::legendTerrorist,
    &ReportTexts::legendManiac,   &ReportTexts::weaponsCaption,  &ReportTexts::weapon,
    &ReportTexts::total,          &ReportTexts::pageTitle,       &ReportTexts::backToIndex,
};
// A member added to the struct and not listed here would escape the check of
// the tables; the struct holds nothing but texts, so its size tells.
static_assert(sizeof(ReportTexts) == std::size(kMembers) * sizeof(std::string_view));

}  // namespace

const ReportTexts& reportTexts(SiteLanguage language) {
  switch (language) {
    case SiteLanguage::English: return kEnglish;
    case SiteLanguage::Russian: break;
  }
  return kRussian;
}

std::span<std::string_view ReportTexts::* const> reportTextMembers() { return kMembers; }

}  // namespace fragtally
