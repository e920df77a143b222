#include "live/live_modes.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "base/error.h"
#include "base/file.h"
#include "base/interrupt.h"
#include "base/output_names.h"
#include "base/resolved_path.h"
#include "live/activity_log.h"
#include "live/background_outputs.h"
#include "live/folder_run_outputs.h"
#include "live/listener.h"
#include "live/log_follower.h"

namespace fragtally {
namespace {

// How often an interrupt and the timers are looked at.
constexpr std::chrono::milliseconds kListenWait(200);
// How often the followed folder is looked at.
constexpr std::chrono::milliseconds kFollowEvery(1000);
constexpr std::chrono::milliseconds kFollowStep(100);

bool createFolder(const std::filesystem::path& folder, live::ActivityLog& activity) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error && std::filesystem::is_directory(folder, error)) return true;
  activity.write(userMessage(cannotCreateFile(utf8FromPath(folder)).what()));
  return false;
}

}  // namespace

int runListen(const ListenOptions& options, std::ostream&, std::ostream& err) {
  live::ActivityLog activity(err);
  // Logs go to the folder run by their resolved paths, as a batch run over
  // them later names them: the same log keeps its report.
  const std::filesystem::path logsFolder = resolvedPath(pathFromUtf8(options.folder)) / kRawLogsFolderName;
  if (!createFolder(logsFolder, activity)) return 1;

  live::ListenerSettings settings;
  settings.address = options.address;
  settings.port = options.port;
  settings.allowed = options.allowed;
  settings.secret = options.secret;
  settings.logsFolder = logsFolder;
  settings.times.refresh = std::chrono::seconds(options.refreshSeconds);
  settings.times.idle = std::chrono::seconds(options.idleSeconds);

  installInterruptHandlers();
  setServiceMode(true);
  live::FolderRunOutputs folderRun(options.folder, options.site, activity, options.played);
  {
    live::BackgroundOutputs outputs(folderRun);
    try {
      live::Listener listener(settings, outputs, activity);
      activity.write("listening on " + live::endpointText(listener.localEndpoint()) + ", raw logs in " +
                     utf8FromPath(logsFolder));
      while (!interruptRequested()) listener.pollOnce(kListenWait);
      activity.write("stopping: writing the reports of the logs being played");
      listener.stop();
    } catch (const Error& error) {
      activity.write(userMessage(error.what()));
      return 1;
    }
    // The outputs' destructor writes what is still queued.
  }
  activity.write("stopped");
  return folderRun.failed() ? 1 : 0;
}

int runFollow(const FollowOptions& options, std::ostream&, std::ostream& err) {
  live::ActivityLog activity(err);
  if (!createFolder(pathFromUtf8(options.folder), activity)) return 1;
  std::error_code error;
  if (!std::filesystem::is_directory(pathFromUtf8(options.logFolder), error)) {
    activity.write(userMessage(cannotOpenFile(options.logFolder).what()));
    return 1;
  }
  installInterruptHandlers();
  setServiceMode(true);
  live::FolderRunOutputs folderRun(options.folder, options.site, activity, options.played);
  bool unreadable = false;
  {
    live::BackgroundOutputs outputs(folderRun);
    live::LogFollower follower(resolvedPath(pathFromUtf8(options.logFolder)),
                               std::chrono::seconds(options.refreshSeconds), outputs, activity, live::Clock::now());
    activity.write("following " + options.logFolder);
    auto nextLook = live::Clock::now();
    while (!interruptRequested()) {
      if (live::Clock::now() >= nextLook) {
        follower.pollOnce(live::Clock::now());
        nextLook += kFollowEvery;
      }
      std::this_thread::sleep_for(kFollowStep);
    }
    activity.write("stopping: writing the report of the log being played");
    follower.stop();
    unreadable = follower.failed();
  }
  activity.write("stopped");
  return folderRun.failed() || unreadable ? 1 : 0;
}

}  // namespace fragtally
