#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "base/file.h"

namespace fragtally {

/// Writes bytes to an open file; false when the write fails or falls short.
using ContentWriter = std::function<bool(File&, std::string_view)>;

/// Replaces the content of `target` as a whole: the bytes go to a new file in
/// the same folder, which is renamed over the target only when complete. On any
/// failure the target is left as it was, no temporary file remains, and the
/// result is false. `write` is replaceable so that tests can fail a write.
bool replaceFileContents(const std::filesystem::path& target, std::string_view bytes,
                         const ContentWriter& write = {});

}  // namespace fragtally
namespace fragtally { void removeStaleTemporaries(const std::filesystem::path& folder); }  // TEMPORARY
