#include "site/award_texts.h"

#include <cmath>
#include <cstdio>

#include "index/index_html.h"

namespace fragtally {
namespace {

std::string dayText(std::int64_t day, std::string_view pattern) {
  const CalendarDate date = dateOfDay(day);
  return dateText(pattern, date.year, date.month, date.day);
}

}  // namespace

std::string_view awardCaption(const SiteTexts& texts, AwardId id) {
  switch (id) {
    case AwardId::kills: return texts.awardKills;
    case AwardId::killsPerDeath: return texts.awardKillsPerDeath;
    case AwardId::ratingGain: return texts.awardRatingGain;
    case AwardId::sniperKills: return texts.awardSniperKills;
    case AwardId::knifeKills: return texts.awardKnifeKills;
    case AwardId::grenadeKills: return texts.awardGrenadeKills;
    case AwardId::pistolKills: return texts.awardPistolKills;
    case AwardId::headshots: return texts.awardHeadshots;
    case AwardId::accuracy: return texts.awardAccuracy;
    case AwardId::bombsPlanted: return texts.awardBombsPlanted;
    case AwardId::bombsDefused: return texts.awardBombsDefused;
    case AwardId::hostagesRescued: return texts.awardHostagesRescued;
    case AwardId::teamKills: return texts.awardTeamKills;
  }
  return texts.awardKills;
}

void appendAwardFigure(std::string& page, AwardId id, double figure, const SiteTexts& texts) {
  if (!std::isfinite(figure)) {
    page += '-';
    return;
  }
  switch (awardFigureOf(id)) {
    case AwardFigure::count: appendGroupedCount(page, std::llround(figure)); return;
    case AwardFigure::ratio: {
      const long long hundredths = std::llround(figure * 100.0);
      appendGroupedCount(page, hundredths / 100);
      char rest[8];
      std::snprintf(rest, sizeof rest, "%02lld", std::llabs(hundredths % 100));
      page += texts.decimalMark;
      page += rest;
      return;
    }
    case AwardFigure::share: {
      const long long tenths = std::llround(figure * 1000.0);
      page += std::to_string(tenths / 10);
      page += texts.decimalMark;
      page += std::to_string(std::llabs(tenths % 10));
      page += texts.percentSign;
      return;
    }
    case AwardFigure::ratingPoints: {
      const long long points = std::llround(figure);
      if (points > 0) page += '+';
      appendGroupedCount(page, points);
      return;
    }
  }
}

std::string periodTitle(const Period& period, const SiteTexts& texts) {
  switch (period.kind) {
    case PeriodKind::day: return dayText(period.firstDay, texts.datePattern);
    case PeriodKind::week: {
      const IsoWeek week = isoWeekOf(period.firstDay);
      return fillText(texts.weekTitle, {std::to_string(week.week), dayText(period.firstDay, texts.weekFirstDayPattern),
                                        dayText(period.lastDay, texts.datePattern)});
    }
    case PeriodKind::month: {
      const CalendarDate date = dateOfDay(period.firstDay);
      return fillText(texts.monthPeriodTitle, {monthName(texts, date.month), std::to_string(date.year)});
    }
  }
  return periodLabel(period);
}

std::string periodAnchor(const Period& period) { return periodLabel(period); }

}  // namespace fragtally
