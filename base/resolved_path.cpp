#include "base/resolved_path.h"

#include <system_error>

#include "base/file.h"

namespace fragtally {

std::filesystem::path resolvedPath(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return path;
  std::filesystem::path resolved = std::filesystem::canonical(absolute, error);
  if (!error) return resolved;
  if (absolute.has_filename() && absolute.filename() != "." && absolute.filename() != "..") {
    resolved = std::filesystem::canonical(absolute.parent_path(), error);
    if (!error) return resolved / absolute.filename();
  }
#ifdef _WIN32
  return absolute.lexically_normal();
#else
  return absolute;
#endif
}

std::string resolvedPath(const std::string& utf8Path) { return utf8FromPath(resolvedPath(pathFromUtf8(utf8Path))); }

std::string PathResolver::resolve(const std::string& utf8Path, std::optional<FileLook>* look) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(pathFromUtf8(utf8Path), error);
  const std::filesystem::path name = absolute.filename();
  // A link, a file that cannot be looked at, or a name that is not a file's
  // own, goes the whole way.
  if (error || name.empty() || name == "." || name == "..") return resolvedPath(utf8Path);
  const std::optional<FileLook> itself = lookAtFileUnlessLink(absolute);
  if (!itself) return resolvedPath(utf8Path);
  const std::string folder = absolute.parent_path().native().empty() ? std::string() : utf8FromPath(absolute.parent_path());
  auto known = folders_.find(folder);
  if (known == folders_.end()) {
    std::filesystem::path resolved = std::filesystem::canonical(absolute.parent_path(), error);
    // A folder that cannot be resolved is left to resolvedPath, every time.
    if (error) return resolvedPath(utf8Path);
    known = folders_.emplace(folder, std::move(resolved)).first;
  }
  if (look != nullptr) *look = itself;
  return utf8FromPath(known->second / name);
}

}  // namespace fragtally
