#pragma once
// TEMPORARY STUB until the index branch is merged.
#include <filesystem>
namespace fragtally { void rebuildIndex(const std::filesystem::path& folder); }
