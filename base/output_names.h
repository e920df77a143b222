#pragma once

// The names of the files the program writes in an output folder, in one place:
// a folder run lists the folder by them, the index reads them back, the live
// modes write beside them, so each is spelled once.
namespace fragtally {

/// A log's report, "<name>.htm", and its match record, "<name>.json".
inline constexpr char kReportExtension[] = ".htm";
inline constexpr char kRecordExtension[] = ".json";
/// A weapon's picture beside the reports, "<weapon>.jpg".
inline constexpr char kPictureExtension[] = ".jpg";
/// The index page and its cache; no log's report may take the index's name.
inline constexpr char kIndexName[] = "index";
inline constexpr char kIndexPageName[] = "index.htm";
inline constexpr char kIndexCacheName[] = "index.cache";
/// The site's page about the rating, and the folder of the players' pages; no
/// log's report may take the rating page's name either.
inline constexpr char kRatingName[] = "rating";
inline constexpr char kRatingPageName[] = "rating.htm";
inline constexpr char kPlayersFolderName[] = "players";
/// The site's page of awards; no log's report may take its name either.
inline constexpr char kAwardsName[] = "awards";
inline constexpr char kAwardsPageName[] = "awards.htm";
/// The site's page of maps; no log's report may take its name either.
inline constexpr char kMapsName[] = "maps";
inline constexpr char kMapsPageName[] = "maps.htm";
/// What the last build of the site stored (site/site_cache.h), beside the
/// index's cache.
inline constexpr char kSiteCacheName[] = "site.cache";
/// The tallies behind the site as the last build left them (site/tally_cache.h).
inline constexpr char kTallyCacheName[] = "tally.cache";
/// A log, as the server names it and as the live modes name their raw logs,
/// which they keep in this folder of the output folder.
inline constexpr char kLogExtension[] = ".log";
inline constexpr char kRawLogsFolderName[] = "logs";
/// The folder's lock (base/folder_lock.h): a dot-file, which neither a folder
/// run's listing nor the index takes for a report or a record.
inline constexpr char kLockFileName[] = ".fragtally.lock";
/// The language of the folder's match pages ("en" and a line end;
/// batch/pages_language.h): a dot-file too.
inline constexpr char kPagesLanguageName[] = ".fragtally.lang";
/// A file being stored: ".fragtally-<16 hex digits>.tmp" beside its target.
inline constexpr char kTemporaryPrefix[] = ".fragtally-";
inline constexpr char kTemporarySuffix[] = ".tmp";

}  // namespace fragtally
