#include "base/same_file.h"

#include <algorithm>
#include <cwctype>
#include <system_error>

#include "base/resolved_path.h"

namespace fragtally {
namespace {

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
  return equalPaths(resolvedPath(a), resolvedPath(b));
}

}  // namespace fragtally
