#include "site/site_build.h"

#include <set>
#include <system_error>

#include "base/error.h"
#include "base/file.h"
#include "base/file_store.h"
#include "base/output_names.h"
#include "base/site_page_names.h"
#include "base/site_texts.h"
#include "site/award_texts.h"
#include "site/awards_page.h"
#include "site/calendar.h"
#include "site/maps_page.h"
#include "site/player_file_name.h"
#include "site/month_pages.h"
#include "site/player_page.h"
#include "site/ranking_pages.h"
#include "site/rating_page.h"

namespace fragtally {
namespace {

/// Whether the file at `path` holds exactly `bytes`: a page left as it is
/// keeps its time, and a rebuild with nothing new writes nothing.
bool holds(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size != bytes.size()) return false;
  File file = File::openForReading(path);
  if (!file.isOpen()) return false;
  char buffer[16384];
  std::size_t at = 0;
  for (std::size_t got; (got = file.read(buffer, sizeof buffer)) != 0; at += got) {
    if (at + got > bytes.size() || bytes.compare(at, got, std::string_view(buffer, got)) != 0) return false;
  }
  return at == bytes.size() && !file.failed();
}

/// Stores a page of its own where it changed; throws when it cannot.
void storePage(const std::filesystem::path& path, std::string_view bytes, SiteBuild& build) {
  if (holds(path, bytes)) return;
  if (!replaceFileContents(path, bytes)) throw cannotCreateFile(utf8FromPath(path));
  ++build.pagesWritten;
}

/// The players' pages: stored in batches, the changed ones only; then the
/// pages of people no longer listed removed.
void storePlayerPages(const std::filesystem::path& folder, const SiteModel& model,
                      const std::vector<std::string>& pictures, SiteBuild& build) {
  const std::filesystem::path players = folder / kPlayersFolderName;
  std::error_code error;
  // No folder for nobody: records that tell no people leave the folder as it was.
  if (model.people.empty() && !std::filesystem::exists(players, error)) return;
  std::filesystem::create_directory(players, error);
  if (!std::filesystem::is_directory(players, error)) throw cannotCreateFile(utf8FromPath(players));
  removeStaleTemporaries(players);
  std::set<std::string> listed;
  PendingStores stores;
  const auto commit = [&] {
    const std::vector<std::filesystem::path> failed = stores.commit();
    if (!failed.empty()) throw cannotCreateFile(utf8FromPath(failed.front()));
  };
  for (const SitePerson& person : model.people) {
    listed.insert(person.file);
    const std::filesystem::path path = players / pathFromUtf8(person.file);
    const std::string page = buildPlayerPage(model, person, pictures);
    if (holds(path, page)) continue;
    if (stores.waiting() + 1 >= PendingStores::kMaxPending) commit();
    if (!stores.add(path, page)) throw cannotCreateFile(utf8FromPath(path));
    ++build.pagesWritten;
  }
  commit();
  for (std::filesystem::directory_iterator entries(players, error), end; !error && entries != end;
       entries.increment(error)) {
    const std::string name = utf8FromPath(entries->path().filename());
    std::error_code typeError;
    if (!isPlayerFileName(name) || listed.contains(name) || !entries->is_regular_file(typeError)) continue;
    std::error_code removeError;
    if (std::filesystem::remove(entries->path(), removeError)) ++build.pagesRemoved;
  }
}

/// Removes the site's archive pages that `written` does not name: months
/// without matches now, ranking pages past the last. Only names of the site's
/// rule go; a report that took one before the rule (its record beside it) stays.
void removeStaleSitePages(const std::filesystem::path& folder, const std::set<std::string>& written,
                          SiteBuild& build) {
  std::error_code error;
  for (std::filesystem::directory_iterator entries(folder, error), end; !error && entries != end;
       entries.increment(error)) {
    const std::string name = utf8FromPath(entries->path().filename());
    std::error_code typeError;
    if (!isSitePageName(name) || written.contains(name) || !entries->is_regular_file(typeError)) continue;
    std::filesystem::path record = entries->path();
    record.replace_extension(kRecordExtension);
    std::error_code recordError;
    if (std::filesystem::exists(record, recordError)) continue;
    std::error_code removeError;
    if (std::filesystem::remove(entries->path(), removeError)) ++build.pagesRemoved;
  }
}

RankingRow rowOf(const SiteModel& model, const SitePerson& person) {
  RankingRow row;
  row.name = person.shownName;
  row.page = person.file;
  row.rating = person.rating.rating.rating;
  row.deviation = person.rating.rating.deviation;
  row.matches = static_cast<std::int64_t>(person.matches.size());
  row.kills = person.kills;
  row.deaths = person.deaths;
  if (!person.matches.empty()) {
    const SiteMatch& last = model.matches[person.matches.front().match];
    row.lastReport = last.report;
    row.lastDate = last.date;
    row.lastStart = last.start;
    row.lastWhen = last.when;
  }
  return row;
}

/// The index's block of a period's awards.
IndexAwardPeriod latestOf(const SiteModel& model, const PeriodAwards& period, std::string_view kind) {
  const SiteTexts& texts = siteTexts(SiteLanguage::Russian);
  IndexAwardPeriod latest;
  latest.title = std::string(kind) + periodTitle(period.period);
  latest.anchor = periodAnchor(period.period);
  for (const Award& award : period.awards) {
    IndexAward& shown = latest.awards.emplace_back();
    shown.caption = awardCaption(texts, award.id);
    for (const std::string& key : award.winners) {
      if (const SitePerson* person = model.personByKey(key)) shown.winners.push_back(AwardWinner{person->shownName, person->file});
    }
    appendAwardFigure(shown.figure, award.id, award.figure);
  }
  return latest;
}

}  // namespace

IndexRanking rankingOf(const SiteModel& model) {
  IndexRanking ranking;
  ranking.minMatches = model.minMatches;
  for (const std::uint32_t at : model.ranked) ranking.ranked.push_back(rowOf(model, model.people[at]));
  for (const std::uint32_t at : model.unranked) ranking.unranked.push_back(rowOf(model, model.people[at]));
  for (const std::uint32_t at : model.inactive) ranking.inactive.push_back(rowOf(model, model.people[at]));
  ranking.activeDays = model.activeDays;
  const AwardTable& awards = model.awards;
  if (!awards.months.empty()) ranking.latestAwards.push_back(latestOf(model, awards.months.front(), ""));
  if (!awards.weeks.empty()) ranking.latestAwards.push_back(latestOf(model, awards.weeks.front(), ""));
  if (!awards.days.empty()) ranking.latestAwards.push_back(latestOf(model, awards.days.front(), "День "));
  if (!model.matches.empty()) {
    // The chart of kills ends with the newest match's day, whatever day the site is built on.
    ranking.charts.kills = killsOfDays(model.killsByDay, model.newestDay);
    for (std::int64_t day = model.newestDay - kChartDays + 1; day <= model.newestDay; ++day) {
      ranking.charts.days.push_back(dateText(day));
    }
    ranking.charts.matchesByHour = model.matchesByHour;
  }
  return ranking;
}

SiteBuild storeSite(const std::filesystem::path& folder, const IndexContent& content, const SiteModel& model) {
  SiteBuild build;
  const IndexRanking whole = rankingOf(model);
  const RankingPages ranking(whole);
  const std::vector<MonthPage> months = monthPagesOf(content.matches);
  {
    const IndexRanking top = indexRankingOf(whole, ranking, indexMonthsOf(months));
    storePage(folder / kIndexPageName, buildIndexPage(content, &top), build);
  }
  std::set<std::string> written;
  for (std::size_t part = 1; part <= ranking.count(); ++part) {
    written.insert(rankingPageName(part));
    storePage(folder / rankingPageName(part), ranking.build(part), build);
  }
  for (std::size_t at = 0; at < months.size(); ++at) {
    written.insert(months[at].name);
    storePage(folder / months[at].name, buildMonthPage(content.matches, months, at), build);
  }
  removeStaleSitePages(folder, written, build);
  storePage(folder / kRatingPageName, buildRatingPage(model.minMatches), build);
  storePage(folder / kAwardsPageName, buildAwardsPage(model), build);
  storePage(folder / kMapsPageName, buildMapsPage(model, content.pictures), build);
  storePlayerPages(folder, model, content.pictures, build);
  build.pictures = content.pictures;
  return build;
}

SiteBuild rebuildSite(const std::filesystem::path& folder, const SiteSettings& settings, const KnownRecords* known) {
  SiteTally tally(settings);
  std::string cache;
  IndexContent content = readIndexContent(
      folder, 0, &cache, known, [&](const MatchSummary& match, std::string_view report) { tally.add(match, report); });
  // The cache only saves time: an index without it is complete.
  if (!cache.empty()) replaceFileContents(folder / kIndexCacheName, cache);
  return storeSite(folder, content, tally.take());
}

}  // namespace fragtally
