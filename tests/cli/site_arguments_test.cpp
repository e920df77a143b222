#include "cli/site_arguments.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/file.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using Args = std::vector<std::string>;

TEST(SiteArgumentsTest, OptionsAreTakenWhereverTheyStandAndTheRestKeepsItsOrder) {
  Args args{"a.log", "--identity", "name", "-d",          "out", "--bots", "b.log", "--min-matches",
            "5",     "--active-days", "14", "--lang", "en", "--", "--active-days", "3"};
  SiteArguments site;
  EXPECT_EQ(takeSiteArguments(args, site), std::nullopt);
  EXPECT_EQ(args, (Args{"a.log", "-d", "out", "b.log", "--", "--active-days", "3"}));
  EXPECT_TRUE(site.given);
  EXPECT_EQ(site.settings.identity.mode, IdentityMode::Name);
  EXPECT_TRUE(site.settings.identity.includeBots);
  EXPECT_EQ(site.settings.minMatches, 5);
  EXPECT_EQ(site.settings.activeDays, 14);
  EXPECT_EQ(site.settings.language, SiteLanguage::English);

  Args none{"a.log", "-d", "out"};
  SiteArguments defaults;
  EXPECT_EQ(takeSiteArguments(none, defaults), std::nullopt);
  EXPECT_FALSE(defaults.given);
  EXPECT_EQ(defaults.settings.identity.mode, IdentityMode::Auto);
  EXPECT_FALSE(defaults.settings.identity.includeBots);
  EXPECT_EQ(defaults.settings.minMatches, 3);
  EXPECT_EQ(defaults.settings.activeDays, 60);
  EXPECT_EQ(defaults.settings.language, SiteLanguage::Russian);

  Args russian{"--lang", "ru"};
  SiteArguments chosen;
  EXPECT_EQ(takeSiteArguments(russian, chosen), std::nullopt);
  EXPECT_TRUE(chosen.given) << "even the default, given, is a site option";
  EXPECT_EQ(chosen.settings.language, SiteLanguage::Russian);
}

TEST(SiteArgumentsTest, WrongValuesAreUsageErrors) {
  const auto problemOf = [](Args args) {
    SiteArguments site;
    return takeSiteArguments(args, site).value_or("");
  };
  EXPECT_EQ(problemOf({"--identity", "steam"}), "--identity takes auto, id or name, not steam");
  EXPECT_EQ(problemOf({"--identity"}), "--identity needs a value");
  EXPECT_EQ(problemOf({"--identity", "id", "--identity", "name"}), "--identity given twice");
  EXPECT_EQ(problemOf({"--min-matches", "0"}), "--min-matches takes a number from 1 to 1000000");
  EXPECT_EQ(problemOf({"--min-matches", "3x"}), "--min-matches takes a number from 1 to 1000000");
  EXPECT_EQ(problemOf({"--min-matches", "-2"}), "--min-matches takes a number from 1 to 1000000");
  EXPECT_EQ(problemOf({"--min-matches", "1000001"}), "--min-matches takes a number from 1 to 1000000");
  EXPECT_EQ(problemOf({"--min-matches"}), "--min-matches needs a value");
  EXPECT_EQ(problemOf({"--active-days", "0"}), "--active-days takes a number from 1 to 36500");
  EXPECT_EQ(problemOf({"--active-days", "36501"}), "--active-days takes a number from 1 to 36500");
  EXPECT_EQ(problemOf({"--active-days", "7d"}), "--active-days takes a number from 1 to 36500");
  EXPECT_EQ(problemOf({"--active-days"}), "--active-days needs a value");
  EXPECT_EQ(problemOf({"--active-days", "7", "--active-days", "8"}), "--active-days given twice");
  EXPECT_EQ(problemOf({"--lang", "de"}), "--lang takes en or ru, not de");
  EXPECT_EQ(problemOf({"--lang", "EN"}), "--lang takes en or ru, not EN");
  EXPECT_EQ(problemOf({"--lang", ""}), "--lang takes en or ru, not ");
  EXPECT_EQ(problemOf({"--lang"}), "--lang needs a value");
  EXPECT_EQ(problemOf({"--lang", "en", "--lang", "ru"}), "--lang given twice");
}

TEST(SiteArgumentsTest, ThePlayersFileOfTheOutputFolderJoinsTheSettings) {
  testing::TempFolder folder;
  SiteArguments site;
  site.settings.minMatches = 7;
  // No players.txt: nothing merged, nothing hidden.
  SiteSettings settings = siteSettingsFor(site, utf8FromPath(folder.path()));
  EXPECT_EQ(settings.minMatches, 7);
  EXPECT_TRUE(settings.playersFile.mergedInto.empty());

  testing::writeFile(folder / "players.txt", "# the clan\nmerge steam:0:1 name:Fox\nhide name:Cheater\n");
  settings = siteSettingsFor(site, utf8FromPath(folder.path()));
  EXPECT_EQ(settings.playersFile.personOf("name:Fox"), "steam:0:1");
  EXPECT_TRUE(settings.playersFile.isHidden("name:Cheater"));

  testing::writeFile(folder / "players.txt", "merge steam:0:1 name:Fox\nrename name:Fox Vixen\n");
  const std::string path = utf8FromPath(folder / "players.txt");
  try {
    (void)siteSettingsFor(site, utf8FromPath(folder.path()));
    ADD_FAILURE() << "a line it cannot read is an error";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()).rfind(path + ":2: ", 0), 0u) << error.what();
  }
}

TEST(SiteArgumentsTest, APlayersFileThatIsNoFileOrTooLargeIsRefused) {
  testing::TempFolder folder;
  const std::string path = utf8FromPath(folder / "players.txt");
  std::filesystem::create_directory(folder / "players.txt");
  EXPECT_THROW((void)loadPlayersFile(folder.path()), Error);
  std::filesystem::remove(folder / "players.txt");

  testing::writeFile(folder / "players.txt", std::string(kMaxPlayersFileBytes + 1, '#'));
  try {
    (void)loadPlayersFile(folder.path());
    ADD_FAILURE() << "a file beyond the cap is refused";
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
  }
  testing::writeFile(folder / "players.txt", std::string(kMaxPlayersFileBytes, '#'));
  EXPECT_TRUE(loadPlayersFile(folder.path()).hidden.empty());
}

}  // namespace
}  // namespace fragtally
