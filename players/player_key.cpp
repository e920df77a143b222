#include "players/player_key.h"

#include "analysis/auth_id.h"

namespace fragtally {

std::optional<IdentityMode> identityModeNamed(std::string_view text) {
  if (text == "auto") return IdentityMode::Auto;
  if (text == "id") return IdentityMode::Id;
  if (text == "name") return IdentityMode::Name;
  return std::nullopt;
}

std::string_view mainNameOf(const MatchPlayer& player) {
  const NameUse* main = nullptr;
  // Names are listed in the order of first use: the first of the most used wins.
  for (const NameUse& use : player.names) {
    if (main == nullptr || use.lines > main->lines) main = &use;
  }
  return main == nullptr ? std::string_view() : std::string_view(main->name);
}

std::string playerKeyOf(const IdentityRules& rules, const MatchPlayer& player) {
  const AuthKind kind = authKindOf(player.authId);
  const std::string_view name = mainNameOf(player);
  if (kind == AuthKind::Hltv) return {};
  if (player.bot || kind == AuthKind::Bot) {
    if (!rules.includeBots || name.empty()) return {};
    return "bot:" + std::string(name);
  }
  // A shared ID is no account: the name tells him, as with a placeholder.
  std::string account = player.sharedAuthId ? std::string() : accountKeyOf(player.authId);
  switch (rules.mode) {
    case IdentityMode::Id:
      return account;
    case IdentityMode::Auto:
      if (!account.empty()) return account;
      break;
    case IdentityMode::Name:
      break;
  }
  if (name.empty()) return {};
  return "name:" + std::string(name);
}

void LatestName::add(const MatchPlayer& player) {
  const std::string_view name = mainNameOf(player);
  std::int64_t lines = 0;
  for (const NameUse& use : player.names) {
    if (use.name == name) lines = use.lines;
  }
  if (lines > lines_) {
    name_ = std::string(name);
    lines_ = lines;
  }
}

}  // namespace fragtally
