#include <gtest/gtest.h>

#include "players/player_key.h"

namespace fragtally {
namespace {

MatchPlayer player(std::string authId, std::initializer_list<std::pair<const char*, std::int64_t>> names,
                   bool bot = false) {
  MatchPlayer made;
  made.authId = std::move(authId);
  made.bot = bot;
  for (const auto& [name, lines] : names) made.names.push_back(NameUse{name, lines});
  return made;
}

TEST(PlayerKeyTest, AutoTakesTheAccountWhereThereIsOneAndTheNameElsewhere) {
  const IdentityRules rules;
  // X differs between server builds for one Steam account.
  EXPECT_EQ(playerKeyOf(rules, player("STEAM_0:1:1316058917", {{"fox", 3}})), "steam:1:1316058917");
  EXPECT_EQ(playerKeyOf(rules, player("STEAM_1:1:1316058917", {{"Fox", 3}})), "steam:1:1316058917");
  EXPECT_EQ(playerKeyOf(rules, player("VALVE_2:0:77", {{"fox", 3}})), "valve:2:0:77");
  for (const char* placeholder :
       {"STEAM_ID_LAN", "VALVE_ID_LAN", "STEAM_ID_PENDING", "VALVE_ID_PENDING", "STEAM_666:88:666", "", "STEAM_0:x:1"}) {
    EXPECT_EQ(playerKeyOf(rules, player(placeholder, {{"fox", 3}})), "name:fox") << placeholder;
  }
  MatchPlayer shared = player("STEAM_0:0:12345", {{"Zap!", 2}});
  shared.sharedAuthId = true;
  EXPECT_EQ(playerKeyOf(rules, shared), "name:Zap!");
}

TEST(PlayerKeyTest, IdAndNameModesUseOnlyOne) {
  const IdentityRules byId{IdentityMode::Id, false};
  const IdentityRules byName{IdentityMode::Name, false};
  EXPECT_EQ(playerKeyOf(byId, player("STEAM_0:1:5", {{"fox", 1}})), "steam:1:5");
  EXPECT_EQ(playerKeyOf(byId, player("STEAM_ID_LAN", {{"fox", 1}})), "");
  EXPECT_EQ(playerKeyOf(byName, player("STEAM_0:1:5", {{"fox", 1}})), "name:fox");
  EXPECT_EQ(identityModeNamed("id"), IdentityMode::Id);
  EXPECT_EQ(identityModeNamed("names"), std::nullopt);
}

TEST(PlayerKeyTest, BotsOnlyWhenIncludedAndTheProxyNever) {
  EXPECT_EQ(playerKeyOf({}, player("BOT", {{"Opie", 9}}, true)), "");
  EXPECT_EQ(playerKeyOf({IdentityMode::Auto, true}, player("BOT", {{"Opie", 9}}, true)), "bot:Opie");
  EXPECT_EQ(playerKeyOf({IdentityMode::Name, true}, player("HLTV", {{"proxy", 9}})), "");
  EXPECT_EQ(playerKeyOf({}, player("STEAM_ID_LAN", {})), "");
}

TEST(PlayerKeyTest, MainNameIsTheMostUsedAndOfEqualsTheFirst) {
  EXPECT_EQ(mainNameOf(player("", {{"a", 2}, {"b", 5}, {"c", 5}})), "b");
  EXPECT_EQ(mainNameOf(player("", {{"a", 0}})), "a");
  EXPECT_EQ(mainNameOf(player("", {})), "");
}

}  // namespace
}  // namespace fragtally
