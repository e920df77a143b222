#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace fragtally::testing {

/// The whole content of a file ("" when it cannot be read).
std::string readFile(const std::filesystem::path& path);
/// Writes bytes to a file, replacing it.
void writeFile(const std::filesystem::path& path, std::string_view bytes);
/// A source file of the project, by its path from the project's top folder.
std::filesystem::path sourcePath(std::string_view relative);

/// A fresh empty folder, removed with everything in it at the end of the test.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

/// A log of one match with one kill, its killer named `killer`: a report or a
/// record of it shows whose it is.
std::string oneKillLog(const std::string& killer);

/// "" when equal; otherwise where the two byte strings first differ, with
/// some context of both, for a readable failure.
std::string firstDifference(std::string_view expected, std::string_view actual);

}  // namespace fragtally::testing
