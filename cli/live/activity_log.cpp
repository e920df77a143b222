#include "cli/live/activity_log.h"

#include <ctime>
#include <string>

namespace fragtally::live {

void ActivityLog::write(std::string_view text) {
  if (text.empty()) return;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char stamp[32] = {};
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", &local);
  std::string message = stamp;
  message += text;
  if (message.back() != '\n') message += '\n';
  const std::lock_guard lock(mutex_);
  out_ << message << std::flush;
}

}  // namespace fragtally::live
