#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace fragtally {

/// Every report names the log it was made from in its header, its first lines.
/// These give that name and read it back, so that a report found in a folder
/// can be told to belong to a log even where its match record is missing (a
/// run stopped between the two, or a report of an older version).

/// The log path as a report's header writes it (page bytes).
std::string logNameInHeader(std::string_view logPath);

/// The page bytes of the log name in the header of the report `file`; nothing
/// when the file cannot be read or does not begin like a report.
std::optional<std::string> readLogNameInHeader(const std::filesystem::path& file);

}  // namespace fragtally
