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
  // The header is in the first piece unless the log path is very long.
  std::string head;
  for (std::size_t piece = 4096; head.size() < kHeaderBytes; piece *= 2) {
    const std::size_t size = head.size();
    head.resize(size + piece);
    const std::size_t got = input.read(head.data() + size, piece);
    head.resize(size + got);
    if (head.compare(0, 8, "<html>\r\n") != 0) return std::nullopt;
    const std::size_t begin = head.find(kBefore);
    const std::size_t end = begin == std::string::npos ? begin : head.find(kAfter, begin + kBefore.size());
    if (end != std::string::npos) return head.substr(begin + kBefore.size(), end - begin - kBefore.size());
    if (got < piece) break;
  }
  return std::nullopt;
}

}  // namespace fragtally
