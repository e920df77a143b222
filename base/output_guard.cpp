#include "base/output_guard.h"

#include "base/error.h"
#include "base/file.h"
#include "base/same_file.h"

namespace fragtally {

void refuseOutputsOverLog(std::string_view logPath, std::span<const std::filesystem::path> outputs) {
  const std::filesystem::path log = pathFromUtf8(logPath);
  // "-" is the standard input, which may be any file the shell opened for it.
  const bool fromStandardInput = logPath == "-";
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (fromStandardInput ? isStandardInput(outputs[i]) : isSameFile(outputs[i], log)) {
      throw outputIsTheLog(utf8FromPath(outputs[i]));
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (isSameFile(outputs[i], outputs[j])) throw outputWrittenTwice(utf8FromPath(outputs[i]));
    }
  }
}

}  // namespace fragtally
