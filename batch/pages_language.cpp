#include "batch/pages_language.h"

#include <string>
#include <system_error>

#include "base/file.h"
#include "base/file_store.h"
#include "base/output_names.h"

namespace fragtally {
namespace {

// The file holds the language's code and a line end; anything longer is not ours.
constexpr std::size_t kMostBytes = 16;

}  // namespace

std::optional<SiteLanguage> readPagesLanguage(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / kPagesLanguageName;
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return SiteLanguage::Russian;
  std::string text;
  readFileStart(path, kMostBytes, [&](std::string_view head) {
    text = head;
    return head.size() >= kMostBytes;
  });
  if (text.empty() || text.back() != '\n') return std::nullopt;
  text.pop_back();
  return parseSiteLanguage(text);
}

bool storePagesLanguage(const std::filesystem::path& folder, SiteLanguage language) {
  return replaceFileContents(folder / kPagesLanguageName, std::string(siteLanguageCode(language)) + '\n');
}

}  // namespace fragtally
