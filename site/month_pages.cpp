#include "site/month_pages.h"

#include <span>

#include "base/output_names.h"
#include "base/site_page_names.h"
#include "base/site_texts.h"
#include "base/url_path.h"
#include "index/index_html.h"
#include "site/award_texts.h"
#include "site/calendar.h"

namespace fragtally {
namespace {

std::string pageTitle(const MonthPage& page, const SiteTexts& texts) {
  std::string title(texts.monthTitle);
  title += ' ';
  title += monthTitle(page.month, texts);
  if (page.part > 1) {
    title += ", ";
    title += texts.pagePart;
    title += ' ';
    title += std::to_string(page.part);
  }
  return title;
}

/// The links to the page of newer matches, the index's list of months and the
/// page of older ones: a reader leafs through the months either way.
void appendPager(std::string& page, const std::vector<MonthPage>& pages, std::size_t at, const SiteTexts& texts) {
  page += "<nav class=\"pager\">";
  if (at > 0) {
    page += "<a rel=\"prev\" href=\"";
    appendUrlPath(page, pages[at - 1].name);
    page += "\">";
    page += texts.newerPage;
    page += ' ';
    appendHtmlText(page, pageTitle(pages[at - 1], texts));
    page += "</a>";
  }
  page += "<a href=\"";
  page += kIndexPageName;
  page += "#months\">";
  page += texts.olderMatchesByMonth;
  page += "</a>";
  if (at + 1 < pages.size()) {
    page += "<a rel=\"next\" href=\"";
    appendUrlPath(page, pages[at + 1].name);
    page += "\">";
    appendHtmlText(page, pageTitle(pages[at + 1], texts));
    page += ' ';
    page += texts.olderPage;
    page += "</a>";
  }
  page += "</nav>\n";
}

}  // namespace

std::vector<MonthPage> monthPagesOf(const std::vector<IndexMatch>& matches, std::size_t perPage) {
  std::vector<MonthPage> pages;
  for (std::size_t at = 0; at < matches.size(); ++at) {
    const std::uint32_t month = monthOfMatch(matches[at].when);
    const bool sameMonth = !pages.empty() && pages.back().month == month;
    if (!sameMonth || pages.back().count == perPage) {
      MonthPage& next = pages.emplace_back();
      next.month = month;
      next.part = sameMonth ? pages[pages.size() - 2].part + 1 : 1;
      next.first = at;
      next.name = monthPageName(month, next.part);
    }
    ++pages.back().count;
  }
  return pages;
}

std::vector<IndexMonth> indexMonthsOf(const std::vector<MonthPage>& pages, SiteLanguage language) {
  const SiteTexts& texts = siteTexts(language);
  std::vector<IndexMonth> months;
  for (std::size_t at = 0; at < pages.size(); ++at) {
    if (pages[at].part == 1) months.push_back(IndexMonth{pages[at].name, monthTitle(pages[at].month, texts), 0});
    months.back().matches += pages[at].count;
  }
  return months;
}

std::string monthTitle(std::uint32_t month, const SiteTexts& texts) {
  if (month == 0) return std::string(texts.undatedMonth);
  const CalendarDate first{static_cast<int>(month / 100), static_cast<int>(month % 100), 1};
  return periodTitle(periodOf(PeriodKind::month, dayOfDate(first)), texts);
}

std::string buildMonthPage(const std::vector<IndexMatch>& matches, const std::vector<MonthPage>& pages,
                           std::size_t at, SiteLanguage language) {
  const SiteTexts& texts = siteTexts(language);
  const MonthPage& shown = pages[at];
  std::string page;
  page.reserve(8192 + shown.count * 560);
  const std::string title = pageTitle(shown, texts);
  appendSitePageStart(page, title, SitePage::month, "", language);
  page += "<header>\n<h1>";
  appendHtmlText(page, title);
  page += "</h1>\n</header>\n";
  appendPager(page, pages, at, texts);
  page += "<section id=\"matches\">\n";
  appendMatchTable(page, std::span(matches).subspan(shown.first, shown.count), language);
  page += "</section>\n";
  appendPager(page, pages, at, texts);
  appendFooter(page, texts);
  appendSortScript(page, language);
  page += "</body>\n</html>\n";
  return page;
}

}  // namespace fragtally
