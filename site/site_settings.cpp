#include "site/site_settings.h"

namespace fragtally {
namespace {

// Every text ends with a zero byte, which no log's text or key holds: two
// lists of texts then read the same only when they are the same.
void appendText(std::string& out, std::string_view text) {
  out += text;
  out += '\0';
}

}  // namespace

std::string settingsText(const SiteSettings& settings) {
  std::string text;
  appendText(text, std::to_string(static_cast<int>(settings.identity.mode)));
  appendText(text, settings.identity.includeBots ? "bots" : "people");
  appendText(text, std::to_string(settings.minMatches));
  appendText(text, std::to_string(settings.activeDays));
  const PlayersFile& file = settings.playersFile;
  appendText(text, "merged " + std::to_string(file.mergedInto.size()));
  for (const auto& [key, person] : file.mergedInto) {
    appendText(text, key);
    appendText(text, person);
  }
  appendText(text, "hidden " + std::to_string(file.hidden.size()));
  for (const std::string& key : file.hidden) appendText(text, key);
  appendText(text, "named " + std::to_string(file.shownNames.size()));
  for (const auto& [key, name] : file.shownNames) {
    appendText(text, key);
    appendText(text, name);
  }
  // Only another language is written: a Russian site's text stays as it always was.
  if (settings.language != SiteLanguage::Russian) appendText(text, "lang " + std::string(siteLanguageCode(settings.language)));
  return text;
}

}  // namespace fragtally
