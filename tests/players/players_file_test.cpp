#include <gtest/gtest.h>

#include "base/error.h"
#include "players/players_file.h"

namespace fragtally {
namespace {

std::string errorOf(std::string_view text) {
  try {
    readPlayersFile(text);
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

TEST(PlayersFileTest, MergesHidesAndNames) {
  const PlayersFile file = readPlayersFile(
      "\xEF\xBB\xBF# the regulars\r\n"
      "merge steam:1:1316058917 name:fox \"name:Mr Fox\"\r\n"
      "\n"
      "   # indented comment\n"
      "merge name:fox2 STEAM_0:1:1316058917\n"
      "hide bot:Opie\n"
      "name \"name:Mr Fox\"   Fox  the Red \n"
      "merge valve:0:4:5 name:\\x");
  EXPECT_EQ(file.personOf("name:fox"), "steam:1:1316058917");
  EXPECT_EQ(file.personOf("name:Mr Fox"), "steam:1:1316058917");
  EXPECT_EQ(file.personOf("name:fox2"), "steam:1:1316058917");  // chained through the raw auth ID
  EXPECT_EQ(file.personOf("steam:1:1316058917"), "steam:1:1316058917");
  EXPECT_EQ(file.personOf("name:owl"), "name:owl");
  EXPECT_EQ(file.personOf("name:\\x"), "valve:0:4:5");  // a backslash outside quotes is a byte like any
  EXPECT_TRUE(file.isHidden("bot:Opie"));
  EXPECT_FALSE(file.isHidden("name:fox"));
  ASSERT_NE(file.shownNameOf("name:fox"), nullptr);
  EXPECT_EQ(*file.shownNameOf("name:fox"), "Fox  the Red");
  EXPECT_EQ(file.shownNameOf("name:owl"), nullptr);
}

TEST(PlayersFileTest, TheKeyMetFirstKnowsAMergedGroup) {
  const PlayersFile file = readPlayersFile("merge name:b name:c\nmerge name:a name:b\nhide name:c\n");
  EXPECT_EQ(file.personOf("name:a"), "name:b");
  EXPECT_EQ(file.personOf("name:c"), "name:b");
  EXPECT_TRUE(file.isHidden("name:a"));
}

TEST(PlayersFileTest, QuotedKeysWithEscapes) {
  const PlayersFile file = readPlayersFile(R"(merge "name:say \"hi\"" "name:back\\slash" name:x)");
  EXPECT_EQ(file.personOf("name:say \"hi\""), "name:say \"hi\"");
  EXPECT_EQ(file.personOf("name:back\\slash"), "name:say \"hi\"");
}

TEST(PlayersFileTest, ALineItCannotReadNamesFileAndLine) {
  EXPECT_EQ(errorOf("# ok\n\nmerge name:a\n"), "players.txt:3: merge needs two keys or more");
  EXPECT_EQ(errorOf("hide fox\n"),
            "players.txt:1: 'fox' is not a player key (steam:Y:Z, valve:X:Y:Z, name:NAME or bot:NAME)");
  EXPECT_EQ(errorOf("hide steam:1\n"),
            "players.txt:1: 'steam:1' is not a player key (steam:Y:Z, valve:X:Y:Z, name:NAME or bot:NAME)");
  EXPECT_EQ(errorOf("hide name:a name:b\n"), "players.txt:1: hide takes one key");
  EXPECT_EQ(errorOf("hide\n"), "players.txt:1: hide needs a key");
  EXPECT_EQ(errorOf("name name:a   \n"), "players.txt:1: name needs a shown name after the key");
  EXPECT_EQ(errorOf("\n\nmerge \"name:a b name:c\n"), "players.txt:3: a quote is not closed");
  EXPECT_EQ(errorOf("merge \"name:a\"x name:c\n"), "players.txt:1: a blank is needed after a quoted key");
  EXPECT_EQ(errorOf("rename name:a B\n"), "players.txt:1: 'rename' is not a directive (merge, hide or name)");
  EXPECT_EQ(errorOf("merge name:a name:b\nname name:a A\nname name:b B\n"),
            "players.txt:3: a second name for name:a (line 2 gave one)");
  try {
    readPlayersFile("bogus", "/srv/stats/players.txt");
    FAIL();
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "/srv/stats/players.txt:1: 'bogus' is not a directive (merge, hide or name)");
  }
}

}  // namespace
}  // namespace fragtally
