#pragma once

#include <filesystem>

namespace fragtally {

/// True when the two paths name one file, whether it exists or not: the same
/// existing file however each path is written (another spelling, a link, and on
/// Windows another letter case), or, where one does not exist yet, the same
/// resolvedPath.
bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

/// True when `path` names the file this program's standard input reads: the
/// same file on the same device (POSIX: st_dev and st_ino of descriptor 0;
/// Windows: volume serial number and file index of the standard input
/// handle). False when either cannot be looked at, or the input is a pipe or
/// terminal that no path names.
bool isStandardInput(const std::filesystem::path& path);

}  // namespace fragtally
