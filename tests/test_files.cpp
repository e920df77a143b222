#include "tests/test_files.h"

#include <fstream>
#include <random>
#include <sstream>

namespace fragtally::testing {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::filesystem::path sourcePath(std::string_view relative) {
  return std::filesystem::path(FRAGTALLY_SOURCE_DIR) / relative;
}

TempFolder::TempFolder() {
  std::random_device entropy;
  path_ = std::filesystem::temp_directory_path() / ("fragtally-test-" + std::to_string(entropy()));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string oneKillLog(const std::string& killer) {
  return "L 12/08/2026 - 20:00:00: Started map \"de_dust2\"\n"
         "L 12/08/2026 - 20:01:00: \"" + killer + "<2><STEAM_0:1:1><CT>\" killed \"Victim<3><STEAM_0:1:2><TERRORIST>\" with \"ak47\"\n";
}

std::string firstDifference(std::string_view expected, std::string_view actual) {
  if (expected == actual) return "";
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const std::size_t from = at < 40 ? 0 : at - 40;
  std::ostringstream message;
  message << "sizes " << expected.size() << " (expected) and " << actual.size() << " (actual); first difference at byte "
          << at << "\n--- expected from byte " << from << ":\n"
          << expected.substr(from, 120) << "\n--- actual from byte " << from << ":\n"
          << actual.substr(std::min(from, actual.size()), 120);
  return message.str();
}

}  // namespace fragtally::testing
