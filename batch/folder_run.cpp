#include "batch/folder_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>

#include "analysis/analysis.h"
#include "analysis/match_players.h"
#include "base/error.h"
#include "base/file.h"
#include "base/file_threads.h"
#include "base/folder_lock.h"
#include "base/output_names.h"
#include "base/resolved_path.h"
#include "batch/batch_counts.h"
#include "batch/folder_inputs.h"
#include "batch/output_bytes.h"
#include "batch/output_storer.h"
#include "batch/pages_language.h"
#include "batch/report_names.h"
#include "record/record_head.h"
#include "base/file_store.h"
#include "site/site_build.h"
#include "index/index_cache.h"
#include "index/index_records.h"
#include "record/match_record.h"
#include "record/record_format.h"
#include "report/weapon_pictures.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

// Where a log of the run stands. It is written once the files it handed to
// the storer have been committed; until then it is storing. A log that a
// cancelled run never began is notBegun and has no outcome.
enum class JobState { pending, storing, written, upToDate, failed, notBegun };

// One log of the run, from its place in the input order to its outcome.
struct Job {
  std::string given;     // as the user or the folder listing named it
  std::string absolute;  // the log path the report and the record show
  std::string name;      // the report's name in the output folder, without extension
  std::uint64_t bytes = 0;
  JobState state = JobState::pending;
  std::string message;   // the failure
  bool reportIsNew = false;  // no file stood at its report's or record's name
  bool recordIsNew = false;  // when the folder was listed
};

// The output folder, made when the first file is stored in it. One made only
// to hold the run's lock counts as made once a file is stored in it: until
// then the lock removes it again at the end.
class OutputFolder {
 public:
  OutputFolder(std::filesystem::path path, bool madeForLock) : path_(std::move(path)), madeForLock_(madeForLock) {}

  const std::filesystem::path& path() const { return path_; }

  bool exists() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (madeForLock_ && !made_) return false;
    }
    std::error_code error;
    return std::filesystem::is_directory(path_, error);
  }

  /// Makes the folder once; false when it cannot be made.
  bool make() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!made_) {
      std::error_code error;
      std::filesystem::create_directories(path_, error);
      made_ = std::filesystem::is_directory(path_, error);
    }
    return made_;
  }

 private:
  std::filesystem::path path_;
  bool madeForLock_;
  std::mutex mutex_;
  bool made_ = false;
};

// Pictures stored once per run, and only where the folder lacks them or
// holds other bytes; never over a log of the run.
class PictureStore {
 public:
  explicit PictureStore(const std::filesystem::path& folder) : folder_(folder) {}

  /// The file names (foldedFileName) of the run's logs in the folder.
  void keepClearOf(std::set<std::string> logNames) { logNames_ = std::move(logNames); }

  /// Throws cannotCreateFile(<picture path>) when one cannot be stored; it is
  /// tried again for the next log that shows it. A picture named like a log of
  /// the run is not stored: outputIsTheLog, once the others are.
  void ensure(const std::vector<std::string>& weapons) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> missing;
    std::vector<std::string> refused;
    for (const std::string& weapon : weapons) {
      if (stored_.count(weapon) != 0) continue;
      (logNames_.count(foldedFileName(weapon + kPictureExtension)) != 0 ? refused : missing).push_back(weapon);
    }
    if (!missing.empty()) {
      writeWeaponPictures(missing, folder_);
      stored_.insert(missing.begin(), missing.end());
    }
    if (!refused.empty()) {
      refusedShown_.insert(refused.begin(), refused.end());
      throw outputIsTheLog(utf8FromPath(folder_ / pathFromUtf8(refused.front() + kPictureExtension)));
    }
  }

  /// The same for the pictures of every report in the folder, at the run's
  /// end; a refused picture already told of by a log's failure is not told
  /// again.
  void ensureAll(const std::vector<std::string>& weapons) {
    std::vector<std::string> left;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (const std::string& weapon : weapons) {
        if (refusedShown_.count(weapon) == 0) left.push_back(weapon);
      }
    }
    ensure(left);
  }

 private:
  std::filesystem::path folder_;
  std::mutex mutex_;
  std::set<std::string> stored_;
  std::set<std::string> logNames_;
  std::set<std::string> refusedShown_;
};

class FolderRunner {
 public:
  FolderRunner(const FolderRun& run, FolderRunEvents& events, bool folderMadeForLock)
      : run_(run),
        events_(events),
        folder_(pathFromUtf8(run.folder), folderMadeForLock),
        pictures_(folder_.path()),
        known_(folder_.path()) {}

  FolderRunResult run();

 private:
  void planJobs(const std::vector<std::string>& logs);
  void work(OutputStorer& storer);
  JobState process(std::size_t index, std::vector<BuiltOutputs>& batch);
  void committed(const std::vector<OutputStorer::Outcome>& outcomes);
  std::filesystem::path outputPath(const Job& job, std::string_view extension) const {
    return folder_.path() / pathFromUtf8(job.name + std::string(extension));
  }
  void tellOutcomes(BatchCounts& counts);
  bool cancelled() const { return run_.cancel != nullptr && run_.cancel->load(); }

  const FolderRun& run_;
  FolderRunEvents& events_;
  OutputFolder folder_;
  PictureStore pictures_;
  std::vector<Job> jobs_;
  std::atomic<std::size_t> nextJob_{0};
  std::atomic<unsigned> workersLeft_{0};
  std::mutex doneMutex_;
  std::condition_variable doneChanged_;
  std::size_t logsPerBatch_ = 16;
  // Records read whole before the run and those written, for the index: a
  // written log's until it turns out not stored.
  KnownRecords known_;
  bool redoPages_ = false;       // the folder's match pages are in another language than the run's
};

/// The logs of `folder`'s records that are not among `logs` and are still
/// there to be read again, in name order: a page in another language can
/// only be redone from its log.
std::vector<std::string> logsOfOtherRecords(const std::filesystem::path& folder, const std::vector<std::string>& logs) {
  std::set<std::string> given;
  for (const std::string& log : logs) given.insert(resolvedPath(log));
  std::set<std::string> others;
  std::error_code error;
  for (std::filesystem::directory_iterator entries(folder, error), end; !error && entries != end;
       entries.increment(error)) {
    if (utf8FromPath(entries->path().extension()) != kRecordExtension) continue;
    const std::optional<RecordHead> head = readRecordHead(entries->path());
    if (!head || head->logPath.empty() || given.contains(head->logPath)) continue;
    std::error_code typeError;
    if (std::filesystem::is_regular_file(pathFromUtf8(head->logPath), typeError)) others.insert(head->logPath);
  }
  return {others.begin(), others.end()};
}

// Batches waiting for the storing thread at most: beyond that a worker waits,
// so that a slow disk cannot make the run hold ever more built files.
constexpr std::size_t kQueuedBatches = 2;
// Built files a run may hold at once over all its batches, in bytes.
constexpr std::size_t kBuiltBytesBudget = std::size_t{4} << 20;
// A log's report and record, about as large as the log itself.
constexpr std::size_t kBuiltBytesPerLog = 128 << 10;

void FolderRunner::planJobs(const std::vector<std::string>& logs) {
  // Loaded once for the run: it holds the heads of the records it knows,
  // vouches for those that call their logs up to date, and serves the index.
  IndexCache cache = IndexCache::load(folder_.path() / kIndexCacheName);
  std::optional<ReportNames> names;  // the folder listed, once a log needs it
  // Every log resolved and looked at first, on every hardware thread: a
  // folder of years of matches is thousands of looks.
  struct LookedLog {
    std::string absolute;
    FileLook file;
  };
  std::vector<LookedLog> looked(logs.size());
  std::atomic<std::size_t> next{0};
  onThreads(fileReadingThreads(), logs.size(), [&] {
    PathResolver resolver;  // the logs of a folder: its path resolved once
    for (std::size_t at; (at = next.fetch_add(1)) < logs.size();) {
      std::optional<FileLook> look;  // where resolving it looked at it
      looked[at].absolute = resolver.resolve(logs[at], &look);
      looked[at].file = look ? *look : lookAtFile(pathFromUtf8(looked[at].absolute));
    }
  });
  std::set<std::string> seen;
  for (std::size_t at = 0; at < logs.size(); ++at) {
    const std::string& log = logs[at];
    Job job;
    job.given = log;
    job.absolute = std::move(looked[at].absolute);
    if (!seen.insert(job.absolute).second) continue;  // the same file named twice, or through a link, is read once
    // A known name is kept while the record under it still shows this log;
    // the files there are old, so their permissions are kept.
    std::optional<RecordHead> knownRecord;
    if (const auto known = run_.knownNames.find(log); known != run_.knownNames.end()) {
      job.name = known->second;
      knownRecord = readRecordHead(outputPath(job, kRecordExtension));
      if (!knownRecord || knownRecord->logPath != job.absolute) knownRecord.reset();
    }
    if (!knownRecord) {
      if (!names) {
        names.emplace(folder_.path(), &cache);
        names->reserveInputs(logs);
      }
      job.name = names->claim(job.absolute);
      job.reportIsNew = !names->wasListed(job.name + kReportExtension);
      job.recordIsNew = !names->wasListed(job.name + kRecordExtension);
    }
    const FileLook& logFile = looked[at].file;
    job.bytes = logFile.bytes;
    if (!run_.force && !redoPages_ && logFile.exists) {
      // Up to date: its record in the folder was made by this program from
      // the log as it is now, and its report is there. (A log that cannot be
      // looked at is left to the analysis to say what is wrong with it.)
      const RecordHead* record = knownRecord ? &*knownRecord : names->recordBefore(job.name);
      const LogFileFacts facts{job.absolute, logFile.bytes, logFile.modifiedUnixSeconds, logFile.modifiedNanoseconds};
      std::error_code error;
      const auto reportThere = [&] {
        return knownRecord ? std::filesystem::is_regular_file(outputPath(job, kReportExtension), error)
                           : names->wasListedAsFile(job.name + kReportExtension);
      };
      if (record != nullptr && recordDescribes(*record, facts) && reportThere()) {
        job.state = JobState::upToDate;
      }
    }
    jobs_.push_back(std::move(job));
  }
  // The records as they were listed, but those this run may write (by
  // their names as the file system compares them).
  if (names) {
    std::unordered_map<std::string, RecordStamp> stamps = names->takeStamps();
    std::set<std::string> written;
    for (const Job& job : jobs_) {
      if (job.state != JobState::upToDate) written.insert(foldedFileName(job.name + kRecordExtension));
    }
    std::erase_if(stamps, [&](const auto& stamp) { return written.count(foldedFileName(stamp.first)) != 0; });
    known_.keepStamps(std::move(stamps));
  }
  // A head can read while the rest of its record is cut off or damaged: such
  // a record describes no match, and its log is done again. The index cache
  // tells most records apart without reading them.
  std::vector<std::string> trusted;
  for (const Job& job : jobs_) {
    if (job.state == JobState::upToDate) trusted.push_back(job.name + kRecordExtension);
  }
  if (trusted.empty()) {
    known_.keepIndexCache(std::move(cache));
    return;
  }
  RecordCheck check = checkRecords(folder_.path(), trusted, known_, std::move(cache));
  const std::set<std::string> broken(check.broken.begin(), check.broken.end());
  for (Job& job : jobs_) {
    if (job.state == JobState::upToDate && broken.count(job.name + kRecordExtension) != 0) job.state = JobState::pending;
  }
  // Broken records are written again: the index looks at every record afresh.
  if (!broken.empty()) known_.keepStamps({});
}

// Analyses one log and adds its report and record to the worker's batch; the
// message of a failure goes to the job.
JobState FolderRunner::process(std::size_t index, std::vector<BuiltOutputs>& batch) {
  Job& job = jobs_[index];
  try {
    LogFileFacts facts = logFileFacts(job.absolute);
    auto stats = std::make_unique<MatchStats>();
    MatchPlayersCollector people;
    const std::uint64_t bytesRead = analyseLogFile(*stats, job.absolute, &people);
    if (!facts.sized) facts.bytes = bytesRead;
    OutputBytes outputs = buildOutputBytes(*stats, people.result(), facts, run_.site.language);
    stats.reset();
    if (!folder_.make()) throw cannotCreateFile(utf8FromPath(outputPath(job, kReportExtension)));
    BuiltOutputs& built = batch.emplace_back();
    built.log = index;
    built.files.push_back(BuiltFile{outputPath(job, kReportExtension), std::move(outputs.page), job.reportIsNew});
    // A picture that cannot be stored fails the log once its report is stored.
    try {
      pictures_.ensure(outputs.pictureWeapons);
    } catch (const Error& error) {
      job.message = userMessage(error.what());
      return JobState::storing;
    }
    if (!outputs.indexSummary.empty()) known_.add(job.name + kRecordExtension, outputs.record.size(), outputs.indexSummary);
    // The record last: a log whose record is missing is done again next time.
    built.files.push_back(BuiltFile{outputPath(job, kRecordExtension), std::move(outputs.record), job.recordIsNew});
    return JobState::storing;
  } catch (const Error& error) {
    job.message = userMessage(error.what());
  } catch (const std::bad_alloc&) {
    job.message = "out of memory";
  }
  return JobState::failed;
}

// Makes the outcomes of committed logs known to tellOutcomes.
void FolderRunner::committed(const std::vector<OutputStorer::Outcome>& outcomes) {
  std::lock_guard<std::mutex> lock(doneMutex_);
  for (const OutputStorer::Outcome& outcome : outcomes) {
    Job& job = jobs_[outcome.log];
    if (outcome.failed.empty()) {
      job.state = job.message.empty() ? JobState::written : JobState::failed;  // its pictures failed
    } else {
      job.message = userMessage(cannotCreateFile(utf8FromPath(outcome.failed)).what());
      job.state = JobState::failed;
    }
  }
  doneChanged_.notify_all();
}

void FolderRunner::work(OutputStorer& storer) {
  std::vector<BuiltOutputs> batch;
  for (;;) {
    const std::size_t index = nextJob_.fetch_add(1);
    if (index >= jobs_.size()) break;
    Job& job = jobs_[index];
    if (job.state != JobState::pending) continue;  // up to date: known before the workers began
    // Checked between logs only: a log begun is finished and stored whole.
    const JobState state = cancelled() ? JobState::notBegun : process(index, batch);
    {
      std::lock_guard<std::mutex> lock(doneMutex_);
      job.state = state;
    }
    if (batch.size() >= logsPerBatch_) storer.handOver(std::exchange(batch, {}));
  }
  if (!batch.empty()) storer.handOver(std::move(batch));
  // The last worker's end lets the storer commit its last files at once,
  // not after a wait for batches that cannot come.
  if (workersLeft_.fetch_sub(1) == 1) storer.endOfBatches();
}

// Tells the outcomes in input order as they become known, whatever order the
// workers finish them in, and the counts while it waits.
void FolderRunner::tellOutcomes(BatchCounts& counts) {
  std::size_t told = 0;
  for (;;) {
    for (; told < jobs_.size(); ++told) {
      const Job& job = jobs_[told];
      JobState state;
      {
        std::lock_guard<std::mutex> lock(doneMutex_);
        state = job.state;
      }
      if (state == JobState::pending || state == JobState::storing) break;
      if (state == JobState::notBegun) continue;
      LogOutcome outcome;
      outcome.kind = state == JobState::written    ? LogOutcomeKind::written
                     : state == JobState::upToDate ? LogOutcomeKind::upToDate
                                                   : LogOutcomeKind::failed;
      outcome.log = job.given;
      outcome.name = job.name;
      if (state == JobState::written) outcome.report = utf8FromPath(outputPath(job, kReportExtension));
      outcome.message = job.message;
      counts.count(outcome.kind, job.bytes);
      events_.done(outcome);
    }
    if (told == jobs_.size()) return;
    events_.progress(counts);
    // Woken by the job it waits for; the time-out keeps the progress moving.
    std::unique_lock<std::mutex> lock(doneMutex_);
    doneChanged_.wait_for(lock, std::chrono::milliseconds(250),
                          [&] {
                            const JobState next = jobs_[told].state;
                            return next != JobState::pending && next != JobState::storing;
                          });
  }
}

FolderRunResult FolderRunner::run() {
  FolderRunResult result;
  FolderInputs inputs = expandFolderInputs(run_.paths);
  for (const std::string& problem : inputs.problems) events_.inputProblem(problem);
  if (run_.removeStaleTemporaries && folder_.exists()) removeStaleTemporaries(folder_.path());
  // Pages in another language are all redone, those of the folder's other
  // logs too; a new folder has none, and its language is stored as well.
  const bool folderThere = folder_.exists();
  const std::optional<SiteLanguage> pagesLanguage =
      folderThere ? readPagesLanguage(folder_.path()) : std::optional<SiteLanguage>(SiteLanguage::Russian);
  redoPages_ = pagesLanguage != run_.site.language;
  if (redoPages_ && folderThere) {
    for (std::string& log : logsOfOtherRecords(folder_.path(), inputs.logs)) inputs.logs.push_back(std::move(log));
  }
  planJobs(inputs.logs);
  // By the paths the logs are opened at: a link to a file in the folder is
  // that file.
  std::vector<std::string> opened;
  opened.reserve(jobs_.size());
  for (const Job& job : jobs_) opened.push_back(job.absolute);
  const std::set<std::string> logNames = logNamesIn(folder_.path(), opened);
  pictures_.keepClearOf(logNames);

  BatchCounts& counts = result.counts;
  counts.logs = jobs_.size();
  for (const Job& job : jobs_) counts.bytesToRead += job.state == JobState::pending ? job.bytes : 0;

  unsigned threads = run_.jobs != 0 ? run_.jobs : std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<std::size_t>(threads, std::max<std::size_t>(jobs_.size(), 1)));
  // Every worker fills one batch while the storer holds the queued ones and
  // the one it writes; a group it commits takes several batches.
  logsPerBatch_ = std::clamp<std::size_t>(kBuiltBytesBudget / kBuiltBytesPerLog / (threads + kQueuedBatches + 1), 2,
                                          PendingStores::kMaxPending / 4);
  {
    OutputStorer storer(kQueuedBatches, [this](const auto& outcomes) { committed(outcomes); });
    std::vector<std::thread> workers;
    workers.reserve(threads);
    workersLeft_ = threads;
    for (unsigned t = 0; t < threads; ++t) workers.emplace_back([this, &storer] { work(storer); });
    tellOutcomes(counts);
    for (std::thread& worker : workers) worker.join();
    storer.finish();
  }
  result.cancelled = counts.done() < counts.logs;

  result.failed = !inputs.problems.empty() || counts.failed != 0;
  // Stored once every page is redone; a cancelled run leaves the old language
  // in place, so that the next run redoes the rest. (A log that failed keeps
  // its older page until it is done again.)
  if (redoPages_ && !result.cancelled && folder_.exists() && !storePagesLanguage(folder_.path(), run_.site.language)) {
    result.indexFailures.push_back(userMessage(cannotCreateFile(utf8FromPath(folder_.path() / kPagesLanguageName)).what()));
    result.failed = true;
  }
  // The index's page and cache, the rating, awards and maps pages, are
  // never stored over a log of the run: the site is then left as it was.
  bool indexOverALog = false;
  for (const std::string_view name : {std::string_view(kIndexPageName), std::string_view(kIndexCacheName),
                                      std::string_view(kRatingPageName), std::string_view(kAwardsPageName),
                                      std::string_view(kMapsPageName), std::string_view(kSiteCacheName),
                                      std::string_view(kTallyCacheName)}) {
    if (!run_.rebuildIndex || logNames.count(foldedFileName(std::string(name))) == 0) continue;
    const std::string refused = utf8FromPath(folder_.path() / pathFromUtf8(name));
    result.indexFailures.push_back(userMessage(outputIsTheLog(refused).what()));
    indexOverALog = true;
    result.failed = true;
  }
  if (run_.rebuildIndex && folder_.exists() && !indexOverALog) {
    // The records just written need not be read back.
    for (const Job& job : jobs_) {
      if (job.state != JobState::written && job.state != JobState::upToDate) known_.forget(job.name + kRecordExtension);
    }
    try {
      const std::vector<std::string> pictures = rebuildSite(folder_.path(), run_.site, std::move(known_)).pictures;
      // Every picture a report in the folder shows, checked byte for byte on
      // every run: one deleted or damaged since is stored again, even where
      // every log is up to date.
      pictures_.ensureAll(pictures);
    } catch (const Error& error) {
      result.indexFailures.push_back(userMessage(error.what()));
      result.failed = true;
    }
  }
  return result;
}

}  // namespace

FolderRunResult runFolder(const FolderRun& run, FolderRunEvents& events) {
  // The folder's lock for the whole run, from its listing to its index: other
  // runs into the folder, in this process or another, wait for it.
  std::optional<FolderLock> lock;
  try {
    lock.emplace(FolderLock::take(pathFromUtf8(run.folder), [&] { events.waitingForFolder(run.folder); }));
  } catch (const Error& error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(pathFromUtf8(run.folder), ignored)) {
      FolderRunResult result;
      result.lockFailure = userMessage(error.what());
      result.failed = true;
      return result;
    }
    // A folder that cannot be made fails each log that would be written there.
  }
  FolderRunner runner(run, events, lock && lock->madeFolder());
  return runner.run();
}

}  // namespace fragtally
