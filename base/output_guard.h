#pragma once

#include <filesystem>
#include <span>
#include <string_view>

namespace fragtally {

/// Refuses a set of outputs before anything is written: throws
/// outputIsTheLog when one of them is the log being read (however the paths
/// are written), and outputWrittenTwice when two of them are one file (a
/// report named like one of its pictures). `outputs` holds paths
/// as the stores will use them; `logPath` is the log's UTF-8 path, or "-" for
/// the standard input, whose file is then compared with every output.
void refuseOutputsOverLog(std::string_view logPath, std::span<const std::filesystem::path> outputs);

}  // namespace fragtally
