#include "site/ranking_pages.h"

#include <algorithm>
#include <span>

#include "base/site_page_names.h"
#include "base/site_texts.h"
#include "index/index_html.h"
#include "site/month_pages.h"

namespace fragtally {
namespace {

std::string pageTitle(std::size_t part, const SiteTexts& texts) {
  std::string title(texts.rankingTitle);
  if (part > 1) {
    title += ", ";
    title += texts.pagePart;
    title += ' ';
    title += std::to_string(part);
  }
  return title;
}

/// Links to every page by its number, this one marked, with the previous and
/// the next: a few dozen pages at most, so all of them fit on a phone's line or two.
void appendPager(std::string& page, std::size_t part, std::size_t count, const SiteTexts& texts) {
  if (count < 2) return;
  page += "<nav class=\"pager\">";
  if (part > 1) {
    page += "<a rel=\"prev\" href=\"" + rankingPageName(part - 1) + "\">";
    page += texts.newerPage;
    page += "</a>";
  }
  page += "<span>";
  page += texts.pagesHeading;
  page += "</span>";
  for (std::size_t at = 1; at <= count; ++at) {
    page += "<a href=\"" + rankingPageName(at) + (at == part ? "\" aria-current=\"page\">" : "\">");
    page += std::to_string(at);
    page += "</a>";
  }
  if (part < count) {
    page += "<a rel=\"next\" href=\"" + rankingPageName(part + 1) + "\">";
    page += texts.olderPage;
    page += "</a>";
  }
  page += "</nav>\n";
}

}  // namespace

RankingPages::RankingPages(const IndexRanking& whole, std::size_t perPage)
    : whole_(whole), perPage_(std::max<std::size_t>(perPage, 1)) {
  const std::size_t rows = whole.ranked.size() + whole.unranked.size() + whole.inactive.size();
  count_ = std::max<std::size_t>((rows + perPage_ - 1) / perPage_, 1);
}

std::string RankingPages::build(std::size_t part) const {
  const SiteLanguage language = whole_.language;
  const SiteTexts& texts = siteTexts(language);
  std::string page;
  page.reserve(8192 + perPage_ * 640);
  const std::string title = pageTitle(part, texts);
  appendSitePageStart(page, title, SitePage::ranking, "", language);
  page += "<header>\n<h1>";
  appendHtmlText(page, title);
  page += "</h1>\n</header>\n";
  appendPager(page, part, count_, texts);
  // The page's rows of the one sequence: ranked, unranked, inactive.
  const std::size_t first = (part - 1) * perPage_;
  const std::size_t end = first + perPage_;
  std::size_t start = 0;
  const auto appendPart = [&](RankingPart kind, const std::vector<RankingRow>& rows) {
    const std::size_t from = std::max(first, start);
    const std::size_t to = std::min(end, start + rows.size());
    // The ranked part's heading opens the first page even when nobody is ranked yet.
    const bool opens = kind == RankingPart::ranked && part == 1;
    if (from < to || opens) {
      appendRankingPartStart(page, kind, whole_.minMatches, whole_.activeDays, language);
      if (from < to) {
        const std::int64_t place = kind == RankingPart::ranked ? static_cast<std::int64_t>(from + 1) : 0;
        appendRankingTable(page, std::span(rows).subspan(from - start, to - from), place, language);
      }
      page += "</section>\n";
    }
    start += rows.size();
  };
  appendPart(RankingPart::ranked, whole_.ranked);
  appendPart(RankingPart::unranked, whole_.unranked);
  appendPart(RankingPart::inactive, whole_.inactive);
  appendPager(page, part, count_, texts);
  appendFooter(page, texts);
  appendSortScript(page, language);
  page += "</body>\n</html>\n";
  return page;
}

IndexRanking indexRankingOf(const IndexRanking& whole, const RankingPages& pages, std::vector<IndexMonth> months) {
  IndexRanking shown;
  shown.ranked.assign(whole.ranked.begin(),
                      whole.ranked.begin() + static_cast<std::ptrdiff_t>(std::min(whole.ranked.size(), kIndexTopRanked)));
  shown.minMatches = whole.minMatches;
  shown.activeDays = whole.activeDays;
  shown.language = whole.language;
  shown.latestAwards = whole.latestAwards;
  shown.charts = whole.charts;
  shown.rankingPages = rankingPageName(1);
  shown.unrankedPage = rankingPageName(pages.unrankedPage());
  shown.inactivePage = rankingPageName(pages.inactivePage());
  shown.rankedCount = whole.ranked.size();
  shown.unrankedCount = whole.unranked.size();
  shown.inactiveCount = whole.inactive.size();
  shown.latestMatches = kIndexLatestMatches;
  shown.months = std::move(months);
  return shown;
}

}  // namespace fragtally
