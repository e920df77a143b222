#pragma once

#include <filesystem>

namespace fragtally {

/// True when the two paths name one file, whether it exists or not: the same
/// existing file however each path is written (another spelling, a link, and on
/// Windows another letter case), or, where one does not exist yet, the same
/// resolvedPath.
bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace fragtally
