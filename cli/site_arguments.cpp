#include "cli/site_arguments.h"

#include <charconv>
#include <system_error>

#include "base/file.h"
#include "players/players_file.h"

namespace fragtally {
namespace {

// More matches than a server could play in years: a larger number is a typo.
constexpr std::int64_t kMostMinMatches = 1000000;

// A century of days: a longer time is a typo.
constexpr std::int64_t kMostActiveDays = 36500;

std::optional<std::int64_t> parseCount(const std::string& text, std::int64_t most) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > most) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::string> takeSiteArguments(std::vector<std::string>& args, SiteArguments& site) {
  std::vector<std::string> rest;
  rest.reserve(args.size());
  bool identityGiven = false;
  bool minMatchesGiven = false;
  bool activeDaysGiven = false;
  bool languageGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
    if (arg == "--bots") {
      site.settings.identity.includeBots = true;
      site.given = true;
      continue;
    }
    if (arg != "--identity" && arg != "--min-matches" && arg != "--active-days" && arg != "--lang") {
      rest.push_back(arg);
      continue;
    }
    if (i + 1 == args.size()) return arg + " needs a value";
    const std::string& value = args[++i];
    site.given = true;
    if (arg == "--identity") {
      if (identityGiven) return "--identity given twice";
      identityGiven = true;
      const std::optional<IdentityMode> mode = identityModeNamed(value);
      if (!mode) return "--identity takes auto, id or name, not " + value;
      site.settings.identity.mode = *mode;
    } else if (arg == "--lang") {
      if (languageGiven) return "--lang given twice";
      languageGiven = true;
      const std::optional<SiteLanguage> language = parseSiteLanguage(value);
      if (!language) return "--lang takes en or ru, not " + value;
      site.settings.language = *language;
    } else if (arg == "--active-days") {
      if (activeDaysGiven) return "--active-days given twice";
      activeDaysGiven = true;
      const std::optional<std::int64_t> days = parseCount(value, kMostActiveDays);
      if (!days) return "--active-days takes a number from 1 to 36500";
      site.settings.activeDays = *days;
    } else {
      if (minMatchesGiven) return "--min-matches given twice";
      minMatchesGiven = true;
      const std::optional<std::int64_t> matches = parseCount(value, kMostMinMatches);
      if (!matches) return "--min-matches takes a number from 1 to 1000000";
      site.settings.minMatches = *matches;
    }
  }
  args = std::move(rest);
  return std::nullopt;
}

SiteSettings siteSettingsFor(const SiteArguments& site, const std::string& folder) {
  SiteSettings settings = site.settings;
  settings.playersFile = loadPlayersFile(pathFromUtf8(folder));
  return settings;
}

}  // namespace fragtally
