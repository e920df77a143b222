#include "report/report_owner.h"

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

std::string logNameAsShown(std::string_view logPath) {
  std::string shown;
  appendPageText(shown, logPath);
  return shown;
}

std::optional<std::string> logNameShownIn(const std::filesystem::path& file) {
  File input = File::openForReading(file);
  if (!input.isOpen()) return std::nullopt;
  std::string head(kHeaderBytes, '\0');
  std::size_t size = 0;
  while (size < head.size()) {
    const std::size_t got = input.read(head.data() + size, head.size() - size);
    if (got == 0) break;
    size += got;
  }
  head.resize(size);
  if (head.rfind("<html>\r\n", 0) != 0) return std::nullopt;
  const std::size_t begin = head.find(kBefore);
  if (begin == std::string::npos) return std::nullopt;
  const std::size_t from = begin + kBefore.size();
  const std::size_t end = head.find(kAfter, from);
  if (end == std::string::npos) return std::nullopt;
  return head.substr(from, end - from);
}

}  // namespace fragtally
