#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "report/report_lines.h"

namespace fragtally {

/// Every report names the log it was made from in its header, its first lines.
/// These give that name and read it back, so that a report found in a folder
/// can be told to belong to a log even where its match record is missing (a
/// run stopped between the two, or a report of an older version).

/// The log path as a report's header writes it (page bytes): in the fixed
/// report's Windows-1251, or in the UTF-8 of a match page in another language.
std::string logNameInHeader(std::string_view logPath, PageEncoding encoding = PageEncoding::Windows1251);

/// The page bytes of the log name in the header of the report `file`, the
/// fixed report or a match page in another language (englishReportPage);
/// nothing when the file cannot be read or does not begin like either.
std::optional<std::string> readLogNameInHeader(const std::filesystem::path& file);

}  // namespace fragtally
