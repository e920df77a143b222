#include "live/activity_log.h"

#include <ctime>
#include <string>

#include "base/printable.h"

namespace fragtally::live {

std::string localTimeNow(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[64] = {};
  std::strftime(text, sizeof text, format, &local);
  return text;
}

void ActivityLog::write(std::string_view text) {
  if (text.empty()) return;
  std::string message = localTimeNow("%Y-%m-%d %H:%M:%S ");
  // Messages quote file names and log text that may hold terminal escapes.
  message += printableText(text, LineFeeds::kept);
  if (message.back() != '\n') message += '\n';
  const std::lock_guard lock(mutex_);
  out_ << message << std::flush;
}

}  // namespace fragtally::live
