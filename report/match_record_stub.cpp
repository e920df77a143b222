#include "report/match_record.h"
#include <chrono>
#include <ctime>
#include <filesystem>
#include "base/error.h"
#include "base/file.h"
namespace fragtally {
LogFileFacts logFileFacts(const std::string& utf8Path) {
  std::error_code e; auto p = pathFromUtf8(utf8Path);
  auto size = std::filesystem::file_size(p, e); if (e) throw cannotOpenFile(utf8Path);
  auto t = std::filesystem::last_write_time(p, e); if (e) throw cannotOpenFile(utf8Path);
  auto sys = std::chrono::file_clock::to_sys(t);
  return {utf8Path, size, std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count()};
}
std::string isoUtcText(std::int64_t s) { std::time_t t = s; std::tm tm{}; gmtime_r(&t, &tm); char b[32]; std::strftime(b, sizeof b, "%Y-%m-%dT%H:%M:%SZ", &tm); return b; }
}
