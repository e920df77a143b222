#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "analysis/match_players.h"

namespace fragtally {

/// How a player of a match is told apart from others across a server's history.
enum class IdentityMode {
  Auto,  ///< by his account where the log gives a real one, by his name where it gives a placeholder
  Id,    ///< by his account only: players without one are left out
  Name,  ///< by his name only, whatever his ID
};

/// "auto", "id" or "name"; nothing for any other text.
std::optional<IdentityMode> identityModeNamed(std::string_view text);

struct IdentityRules {
  IdentityMode mode = IdentityMode::Auto;
  bool includeBots = false;  ///< bots are people of their own, "bot:NAME", only when asked for
};

/// The name he used on the most lines of the match; of names used as often, the
/// first he used. Empty when no line named him.
std::string_view mainNameOf(const MatchPlayer& player);

/// A player's key: "steam:Y:Z", "valve:X:Y:Z", "name:NAME" or "bot:NAME" (NAME
/// being his main name in the match). Empty when the rules leave him out: a bot
/// unless bots are included, the spectator proxy, a player without an account
/// in Id mode, a player without a name.
std::string playerKeyOf(const IdentityRules& rules, const MatchPlayer& player);

/// The name a person is shown by where players.txt gives none: of the players
/// of his latest match who are he (a merge can make him several there), the
/// name used on the most lines of that match.
class LatestName {
 public:
  LatestName() = default;
  /// Goes on from what name() and lines() gave.
  LatestName(std::string name, std::int64_t lines) : name_(std::move(name)), lines_(lines) {}
  /// A later match of his begins: the names of earlier ones no longer count.
  void newMatch() { lines_ = -1; }
  /// One player of his latest match who is he.
  void add(const MatchPlayer& player);
  [[nodiscard]] const std::string& name() const { return name_; }
  /// The lines of that name in his latest match; -1 before any.
  [[nodiscard]] std::int64_t lines() const { return lines_; }
  [[nodiscard]] std::string take() { return std::move(name_); }

 private:
  std::string name_;
  std::int64_t lines_ = -1;
};

}  // namespace fragtally
