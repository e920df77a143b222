#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/file.h"

namespace fragtally {

/// The absolute path of the file the system opens for `path`: links and ".."
/// resolved by the file system itself, as an open resolves them. Where the
/// file does not exist (or is a link to nothing), its folder is resolved so and
/// its own name kept. Where the folder does not exist either, the path is only
/// made absolute: "x/../a.log" opens nothing when "x" is missing, and dropping
/// "x/.." from the text would name a file that exists (Windows, which resolves
/// ".." in the text before it opens, gets the text resolved). Every part of
/// the program that shows, compares or opens a log by its path uses this one
/// form, so that one file has one path.
std::filesystem::path resolvedPath(const std::filesystem::path& path);

/// The same for a UTF-8 path, as a UTF-8 path.
std::string resolvedPath(const std::string& utf8Path);

/// resolvedPath for many files in few folders, such as the logs of a folder:
/// each folder is resolved once, and a file that is no link needs one look of
/// its own instead of one for every part of its path. The same paths as
/// resolvedPath gives, as long as the folders' links do not change meanwhile.
class PathResolver {
 public:
  /// With `look`, what lookAtFile gives for the file, where that one look of
  /// its own told it (a file that is no link); left as it is otherwise.
  std::string resolve(const std::string& utf8Path, std::optional<FileLook>* look = nullptr);

 private:
  std::unordered_map<std::string, std::filesystem::path> folders_;  // absolute folder to its resolved path
};

}  // namespace fragtally
