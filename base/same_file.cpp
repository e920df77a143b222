#include "base/same_file.h"

#include <algorithm>
#include <cwctype>
#include <system_error>

#include "base/resolved_path.h"

#ifdef _WIN32
#include "base/windows_api.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

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

#ifdef _WIN32

bool isStandardInput(const std::filesystem::path& path) {
  BY_HANDLE_FILE_INFORMATION input{};
  const HANDLE standardInput = GetStdHandle(STD_INPUT_HANDLE);
  if (standardInput == nullptr || standardInput == INVALID_HANDLE_VALUE ||
      GetFileType(standardInput) != FILE_TYPE_DISK || !GetFileInformationByHandle(standardInput, &input)) {
    return false;
  }
  // Opened without any access, only to be looked at: a file another program
  // holds open for writing is looked at all the same.
  const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION output{};
  const bool looked = GetFileInformationByHandle(file, &output) != 0;
  CloseHandle(file);
  return looked && input.dwVolumeSerialNumber == output.dwVolumeSerialNumber &&
         input.nFileIndexHigh == output.nFileIndexHigh && input.nFileIndexLow == output.nFileIndexLow;
}

#else

bool isStandardInput(const std::filesystem::path& path) {
  struct stat input {};
  struct stat output {};
  if (::fstat(0, &input) != 0 || ::stat(path.c_str(), &output) != 0) return false;
  return input.st_dev == output.st_dev && input.st_ino == output.st_ino;
}

#endif

}  // namespace fragtally
