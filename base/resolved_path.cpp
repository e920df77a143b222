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

}  // namespace fragtally
