#include "report/report_header.h"

#include "base/file.h"
#include "report/cp1251.h"
#include "report/page_text.h"

namespace fragtally {
namespace {

// The header names the log between these two texts, after two fixed lines.
constexpr std::string_view kBefore = "<strong>Анализ файла ...\""_cp1251;
constexpr std::string_view kAfter = "\"...</strong></p>\r\n";
// A log path of any length fits: the header line is read to its end or to this.
constexpr std::size_t kHeaderBytes = 64 * 1024;

}  // namespace

std::string logNameInHeader(std::string_view logPath) {
  std::string shown;
  appendPageText(shown, logPath);
  return shown;
}

std::optional<std::string> readLogNameInHeader(const std::filesystem::path& file) {
  std::optional<std::string> shown;
  readFileStart(file, kHeaderBytes, [&](std::string_view head) {
    if (head.substr(0, 8) != "<html>\r\n") return true;  // no report: look no further
    const std::size_t begin = head.find(kBefore);
    const std::size_t end = begin == std::string_view::npos ? begin : head.find(kAfter, begin + kBefore.size());
    if (end == std::string_view::npos) return false;
    shown = head.substr(begin + kBefore.size(), end - begin - kBefore.size());
    return true;
  });
  return shown;
}

}  // namespace fragtally
