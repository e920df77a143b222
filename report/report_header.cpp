#include "report/report_header.h"

#include "base/file.h"
#include "report/cp1251.h"
#include "report/page_text.h"
#include "report/report_texts.h"

namespace fragtally {
namespace {

// The header names the log between these two texts, after two fixed lines.
constexpr std::string_view kBefore = "<strong>Анализ файла ...\""_cp1251;
constexpr std::string_view kAfter = "\"...</strong></p>\r\n";
// A log path of any length fits: the header line is read to its end or to this.
constexpr std::size_t kHeaderBytes = 64 * 1024;

// The UTF-8 page of a site in another language begins as an HTML5 document
// does, and names the log after its language's words.
constexpr std::string_view kUtf8PageStart = "<!DOCTYPE html>\r\n<html lang=\"";

/// The log name between `before` and kAfter in `head`; false while the header
/// line may still come (more bytes are needed).
bool nameBetween(std::string_view head, std::string_view before, std::optional<std::string>& shown) {
  const std::size_t begin = head.find(before);
  const std::size_t end = begin == std::string_view::npos ? begin : head.find(kAfter, begin + before.size());
  if (end == std::string_view::npos) return false;
  shown = head.substr(begin + before.size(), end - begin - before.size());
  return true;
}

}  // namespace

std::string logNameInHeader(std::string_view logPath, PageEncoding encoding) {
  std::string shown;
  if (encoding == PageEncoding::Windows1251) {
    appendPageText(shown, logPath);
  } else {
    appendUtf8PageText(shown, logPath);
  }
  return shown;
}

std::optional<std::string> readLogNameInHeader(const std::filesystem::path& file) {
  std::optional<std::string> shown;
  readFileStart(file, kHeaderBytes, [&](std::string_view head) {
    if (head.substr(0, 8) == "<html>\r\n") return nameBetween(head, kBefore, shown);
    if (head.substr(0, kUtf8PageStart.size()) != kUtf8PageStart) return true;  // no report: look no further
    for (const SiteLanguage language : siteLanguages()) {
      if (language == SiteLanguage::Russian) continue;  // the fixed report, above
      const std::string before = "<strong>" + std::string(reportTexts(language).fileAnalysis) + " ...\"";
      if (head.find(before) != std::string_view::npos) return nameBetween(head, before, shown);
    }
    return false;
  });
  return shown;
}

}  // namespace fragtally
