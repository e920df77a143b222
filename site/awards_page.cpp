#include "site/awards_page.h"

#include "base/output_names.h"
#include "base/site_texts.h"
#include "base/url_path.h"
#include "index/index_html.h"
#include "site/award_texts.h"

namespace fragtally {
namespace {

void appendKind(std::string& page, const SiteModel& model, const std::vector<PeriodAwards>& periods,
                std::string_view id, std::string_view heading, std::size_t shown, std::string_view note,
                const SiteTexts& texts) {
  page += "<section id=\"";
  page += id;
  page += "\">\n<h2>";
  page += heading;
  page += "</h2>\n";
  page += note;
  for (std::size_t at = 0; at < shown; ++at) {
    const PeriodAwards& awards = periods[at];
    page += "<h3 id=\"";
    page += periodAnchor(awards.period);
    page += "\">";
    page += periodTitle(awards.period, texts);
    page += "</h3>\n";
    appendPeriodAwards(page, model, awards, "");
  }
  page += "</section>\n";
}

}  // namespace

bool awardsPageShows(const AwardTable& table, const Period& period) {
  switch (period.kind) {
    case PeriodKind::month: return true;
    case PeriodKind::week:
      return !table.weeks.empty() && period.firstDay > table.weeks.front().period.firstDay - 7 * kAwardPageWeeks;
    case PeriodKind::day:
      return !table.days.empty() && period.firstDay > table.days.front().period.firstDay - kAwardPageDays;
  }
  return false;
}

void appendPeriodAwards(std::string& page, const SiteModel& model, const PeriodAwards& awards,
                        std::string_view root) {
  const SiteTexts& texts = siteTexts(model.language);
  page += "<div class=\"box\">\n<table>\n<tbody>\n";
  for (const Award& award : awards.awards) {
    page += "<tr><th scope=\"row\">";
    page += awardCaption(texts, award.id);
    page += "</th><td class=\"name\">";
    bool first = true;
    for (const std::string& key : award.winners) {
      const SitePerson* person = model.personByKey(key);
      if (person == nullptr) continue;
      if (!first) page += ", ";
      first = false;
      page += "<a href=\"";
      page += root;
      page += kPlayersFolderName;
      page += '/';
      appendUrlPath(page, person->file);
      page += "\"><bdi>";
      appendHtmlText(page, person->shownName);
      page += "</bdi></a>";
    }
    page += "</td><td class=\"n\">";
    appendAwardFigure(page, award.id, award.figure, texts);
    page += "</td></tr>\n";
  }
  page += "</tbody>\n</table>\n</div>\n";
}

std::string buildAwardsPage(const SiteModel& model) {
  const AwardTable& table = model.awards;
  // The days shown: those within kAwardPageDays of the newest day with awards.
  std::size_t weeks = 0;
  while (weeks < table.weeks.size() && awardsPageShows(table, table.weeks[weeks].period)) ++weeks;
  std::size_t days = 0;
  while (days < table.days.size() && awardsPageShows(table, table.days[days].period)) ++days;
  std::string page;
  page.reserve(8192 + (table.months.size() + weeks + days) * 2400);
  const SiteTexts& texts = siteTexts(model.language);
  appendSitePageStart(page, texts.awardsHeading, SitePage::awards, "", model.language);
  page += "<header>\n<h1>";
  page += texts.awardsHeading;
  page += "</h1>\n<p class=\"lead\">";
  page += texts.awardsLead;
  page += "</p>\n</header>\n";
  if (table.months.empty() && table.weeks.empty() && table.days.empty()) {
    page += "<p class=\"note\">";
    page += texts.noAwards;
    page += "</p>\n";
  } else {
    appendKind(page, model, table.months, "months", texts.byMonths, table.months.size(), "", texts);
    const std::string weeksNote =
        "<p class=\"note\">" + fillText(texts.weeksNote, {groupedCount(kAwardPageWeeks)}) + "</p>\n";
    appendKind(page, model, table.weeks, "weeks", texts.byWeeks, weeks, weeksNote, texts);
    const std::string note = "<p class=\"note\">" + fillText(texts.daysNote, {groupedCount(kAwardPageDays)}) + "</p>\n";
    appendKind(page, model, table.days, "days", texts.byDays, days, note, texts);
  }
  appendFooter(page, texts);
  page += "</body>\n</html>\n";
  return page;
}

}  // namespace fragtally
