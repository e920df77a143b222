#include "base/same_file.h"

#include <algorithm>
#include <cwctype>
#include <system_error>

namespace fragtally {
namespace {

// The path as the file system would resolve it: links of the existing part
// followed, the rest made plain. Falls back to the lexical form.
std::filesystem::path resolved(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path full = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
  if (error) full = std::filesystem::absolute(path, error).lexically_normal();
  return full;
}

bool equalPaths(const std::filesystem::path& a, const std::filesystem::path& b) {
#ifdef _WIN32
  // Windows' file names do not tell letter case apart.
  const std::wstring& x = a.native();
  const std::wstring& y = b.native();
  return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), [](wchar_t l, wchar_t r) {
           return std::towupper(l) == std::towupper(r);
         });
#else
  return a == b;
#endif
}

}  // namespace

bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  if (std::filesystem::equivalent(a, b, error) && !error) return true;
  return equalPaths(resolved(a), resolved(b));
}

}  // namespace fragtally
