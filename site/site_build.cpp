#include "site/site_build.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <future>
#include <set>
#include <string_view>
#include <system_error>
#include <unordered_set>

#include "base/error.h"
#include "base/file.h"
#include "base/file_store.h"
#include "base/file_threads.h"
#include "base/fnv1a.h"
#include "base/output_names.h"
#include "base/site_page_names.h"
#include "base/site_texts.h"
#include "site/award_texts.h"
#include "site/awards_page.h"
#include "site/calendar.h"
#include "site/maps_page.h"
#include "site/month_pages.h"
#include "site/page_store.h"
#include "site/player_file_name.h"
#include "site/player_page.h"
#include "site/ranking_pages.h"
#include "site/rating_page.h"
#include "site/site_cache.h"
#include "site/tally_cache.h"

namespace fragtally {
namespace {

/// The players' pages, the changed ones only. False where there is no
/// players' folder and none is needed: records that tell no people leave the
/// folder as it was.
bool storePlayerPages(const std::filesystem::path& folder, const SiteModel& model,
                      const std::vector<std::string>& pictures, PageStore& pages) {
  const std::filesystem::path players = folder / kPlayersFolderName;
  std::error_code error;
  if (model.people.empty() && !std::filesystem::exists(players, error)) return false;
  std::filesystem::create_directory(players, error);
  if (!std::filesystem::is_directory(players, error)) throw cannotCreateFile(utf8FromPath(players));
  removeStaleTemporaries(players);
  const std::string folderName = std::string(kPlayersFolderName) + "/";
  // Built and checksummed a share at a time on every core (each also looks
  // at the page it replaces), stored in order on this thread: a share's pages
  // are all the memory the pages take. A page built from the same inputs as
  // the one there is not built at all: a new match changes few people's pages.
  constexpr std::size_t kShare = 256;
  std::vector<PageStore::ReadyPage> share;
  for (std::size_t first = 0; first < model.people.size(); first += kShare) {
    const std::size_t count = std::min(kShare, model.people.size() - first);
    share.assign(count, {});
    std::atomic<std::size_t> next{0};
    onThreads(fileReadingThreads(), count, [&] {
      for (std::size_t at; (at = next.fetch_add(1)) < count;) {
        const SitePerson& person = model.people[first + at];
        share[at] = pages.ready(folderName + person.file, playerPageInputs(model, person, pictures),
                                [&] { return buildPlayerPage(model, person, pictures); });
      }
    });
    for (const PageStore::ReadyPage& page : share) pages.store(page);
  }
  return true;
}

/// The regular files of `folder` that `isStale` tells by their names.
std::vector<std::filesystem::path> staleFilesIn(const std::filesystem::path& folder,
                                                const std::function<bool(const std::string&)>& isStale) {
  std::vector<std::filesystem::path> stale;
  std::error_code error;
  for (std::filesystem::directory_iterator entries(folder, error), end; !error && entries != end;
       entries.increment(error)) {
    std::error_code typeError;
    if (isStale(utf8FromPath(entries->path().filename())) && entries->is_regular_file(typeError)) {
      stale.push_back(entries->path());
    }
  }
  return stale;
}

/// The pages of people no longer listed.
std::vector<std::filesystem::path> stalePlayerPages(const std::filesystem::path& folder, const SiteModel& model) {
  // Views of the people's file names, which the model keeps.
  std::unordered_set<std::string_view> listed;
  listed.reserve(model.people.size());
  for (const SitePerson& person : model.people) listed.insert(person.file);
  return staleFilesIn(folder / kPlayersFolderName,
                      [&](const std::string& name) { return isPlayerFileName(name) && !listed.contains(name); });
}

/// The site's archive pages that `written` does not name: months without
/// matches now, ranking pages past the last. Only names of the site's rule
/// go; a report that took one before the rule (its record beside it) stays.
std::vector<std::filesystem::path> staleSitePages(const std::filesystem::path& folder,
                                                  const std::set<std::string>& written) {
  return staleFilesIn(folder, [&](const std::string& name) {
    if (!isSitePageName(name) || written.contains(name)) return false;
    std::filesystem::path record = folder / pathFromUtf8(name);
    record.replace_extension(kRecordExtension);
    std::error_code recordError;
    return !std::filesystem::exists(record, recordError);
  });
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
IndexAwardPeriod latestOf(const SiteModel& model, const PeriodAwards& period, std::string_view titleText) {
  const SiteTexts& texts = siteTexts(model.language);
  IndexAwardPeriod latest;
  latest.title = fillText(titleText, {periodTitle(period.period, texts)});
  latest.anchor = periodAnchor(period.period);
  for (const Award& award : period.awards) {
    IndexAward& shown = latest.awards.emplace_back();
    shown.caption = awardCaption(texts, award.id);
    for (const std::string& key : award.winners) {
      if (const SitePerson* person = model.personByKey(key)) shown.winners.push_back(AwardWinner{person->shownName, person->file});
    }
    appendAwardFigure(shown.figure, award.id, award.figure, texts);
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
  ranking.language = model.language;
  const AwardTable& awards = model.awards;
  const SiteTexts& texts = siteTexts(model.language);
  // A day's title is its date alone: the index says which kind of period it is.
  if (!awards.months.empty()) ranking.latestAwards.push_back(latestOf(model, awards.months.front(), "{}"));
  if (!awards.weeks.empty()) ranking.latestAwards.push_back(latestOf(model, awards.weeks.front(), "{}"));
  if (!awards.days.empty()) ranking.latestAwards.push_back(latestOf(model, awards.days.front(), texts.latestDayTitle));
  if (!model.matches.empty()) {
    // The chart of kills ends with the newest match's day, whatever day the site is built on.
    ranking.charts.kills = killsOfDays(model.killsByDay, model.newestDay);
    for (std::int64_t day = model.newestDay - kChartDays + 1; day <= model.newestDay; ++day) {
      ranking.charts.days.push_back(dateText(day, texts));
      const CalendarDate date = dateOfDay(day);
      ranking.charts.labels.push_back(fragtally::dateText(texts.chartDayPattern, date.year, date.month, date.day));
    }
    ranking.charts.matchesByHour = model.matchesByHour;
  }
  return ranking;
}

SiteBuild storeSite(const std::filesystem::path& folder, const IndexContent& content, const SiteModel& model,
                    std::uint64_t inputs) {
  SiteBuild build;
  const std::filesystem::path cachePath = folder / kSiteCacheName;
  const SiteCache before = SiteCache::load(cachePath);
  PageStore pages(folder, before);
  const IndexRanking whole = rankingOf(model);
  const RankingPages ranking(whole);
  const std::vector<MonthPage> months = monthPagesOf(content.matches);
  {
    const IndexRanking top = indexRankingOf(whole, ranking, indexMonthsOf(months, model.language));
    pages.store(kIndexPageName, buildIndexPage(content, &top, model.language));
  }
  std::set<std::string> written;
  for (std::size_t part = 1; part <= ranking.count(); ++part) {
    written.insert(rankingPageName(part));
    pages.store(rankingPageName(part), ranking.build(part));
  }
  for (std::size_t at = 0; at < months.size(); ++at) {
    written.insert(months[at].name);
    pages.store(months[at].name, buildMonthPage(content.matches, months, at, model.language));
  }
  pages.store(kRatingPageName, buildRatingPage(model.minMatches, model.language));
  pages.store(kAwardsPageName, buildAwardsPage(model));
  pages.store(kMapsPageName, buildMapsPage(model, content.pictures));
  const bool playersFolder = storePlayerPages(folder, model, content.pictures, pages);
  // Pages no longer linked to are looked for while the last pages go to the
  // disk, and removed only once those stand: no page left in place links to one gone.
  pages.beginCommit();
  std::vector<std::filesystem::path> stale = staleSitePages(folder, written);
  if (playersFolder) {
    for (std::filesystem::path& page : stalePlayerPages(folder, model)) stale.push_back(std::move(page));
  }
  pages.commit();
  for (const std::filesystem::path& page : stale) {
    std::error_code removeError;
    if (std::filesystem::remove(page, removeError)) ++build.pagesRemoved;
  }
  build.pagesWritten = pages.written();
  build.pictures = content.pictures;
  // Only saves time: without it the next build reads its pages back. Stored
  // in any case, so that a cache of other inputs never stands beside these pages.
  const std::string cache = SiteCache::bytesOf(inputs, build.pictures, pages.pages());
  if (before.bytes() != cache) replaceFileContents(cachePath, cache);
  return build;
}

std::uint64_t siteInputs(std::uint64_t recordsChecksum, const SiteSettings& settings) {
  std::string inputs(8, '\0');
  for (int i = 0; i < 8; ++i) inputs[i] = static_cast<char>(static_cast<unsigned char>(recordsChecksum >> (8 * i)));
  inputs += settingsText(settings);
  // 0 stands for inputs not known.
  return std::max<std::uint64_t>(fnv1a64(inputs), 1);
}

SiteBuild rebuildSite(const std::filesystem::path& folder, const SiteSettings& settings, KnownRecords known) {
  // The records as the last build read them, with the same settings, and its
  // pages as it left them: the pages would come out the same, byte for byte.
  // Records this run wrote or had to read are ones the cache does not know as
  // they stand: then there is nothing to look for.
  std::optional<std::uint64_t> cached;
  std::uint64_t foundChecksum = 0;  // of the index cache the build begins with
  {
    // Loaded here where the run kept none, and let go before a new one is stored over it.
    std::optional<IndexCache> loadedHere;
    const IndexCache* found = known.indexCache();
    if (found == nullptr) found = &loadedHere.emplace(IndexCache::load(folder / kIndexCacheName));
    if (known.size() == 0) cached = cachedRecordsChecksum(folder, found);
    foundChecksum = found->checksum();
  }
  if (cached) {
    const SiteCache before = SiteCache::load(folder / kSiteCacheName);
    if (before.inputs() == siteInputs(*cached, settings) && before.pagesStandIn(folder)) {
      SiteBuild build;
      build.pictures = before.pictures();
      return build;
    }
  }
  // The tallies the last build left, where they hold the records of the
  // index cache this run found: only records added since are then read.
  const std::filesystem::path talliesPath = folder / kTallyCacheName;
  std::optional<KeptTallies> kept;
  if (foundChecksum != 0) kept = loadTallyCache(talliesPath, settings, foundChecksum);
  SiteTally tally(settings);
  TalliesSoFar soFar;
  if (kept) {
    soFar.cacheChecksum = kept->cacheChecksum;
    soFar.index = std::move(kept->index);
  }
  bool wentOn = false;
  soFar.decided = [&](bool goOn) {
    if (goOn) tally = std::move(kept->site);
    kept.reset();
    wentOn = goOn;
  };
  std::size_t added = 0;
  IndexContent content;
  SiteModel model;
  std::uint64_t records = 0;
  std::future<void> talliesStored;
  {
    // What the run knew of its records is let go before the pages are built.
    StreamedStore cache(folder / kIndexCacheName);
    // The players by name are left out: the site's index ranks people.
    content = readIndexContent(
        folder, 0, &cache, &known,
        [&](const MatchSummary& match, std::string_view report) {
          tally.add(match, report);
          ++added;
        },
        false, &soFar);
    // The cache only saves time: an index without it is complete, and pages
    // built beside a cache that could not be stored are built again next time.
    // Without a new one, the cache the records were read from stands for them.
    const std::uint64_t standing = cache.size() > 0 ? 0 : foundChecksum;
    // Let go before the new cache is stored over the one it holds open.
    KnownRecords().swap(known);
    // A new cache goes to the disk while the people are made here.
    std::future<std::uint64_t> sealed;
    if (cache.size() > 0) {
      sealed = std::async(std::launch::async, [&cache] { return cache.seal() ? cache.checksum() : std::uint64_t{0}; });
    }
    // The tallies as they stand now, before the model is taken from them.
    const bool keepTallies = !soFar.endedState.empty() && !(wentOn && added == 0 && cache.size() == 0);
    std::string indexState = keepTallies ? std::move(soFar.endedState) : std::string();
    std::string siteState = keepTallies ? tally.state() : std::string();
    model = tally.take();
    records = sealed.valid() ? sealed.get() : standing;
    // Stored while the pages are built. Only saves time too: one that cannot
    // be stored leaves the last, which names the index cache whose records it
    // holds and is gone on from only beside that cache.
    if (records != 0 && !siteState.empty()) {
      talliesStored = std::async(std::launch::async, [&talliesPath, records, &settings,
                                                      indexState = std::move(indexState),
                                                      siteState = std::move(siteState)] {
        replaceFileContents(talliesPath, tallyCacheBytes(records, indexState, siteState, settings));
      });
    }
  }
  SiteBuild build = storeSite(folder, content, model, records == 0 ? 0 : siteInputs(records, settings));
  if (talliesStored.valid()) talliesStored.get();
  return build;
}

}  // namespace fragtally
