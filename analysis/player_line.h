#pragma once

#include <cstdint>
#include <string_view>

namespace fragtally {

/// The four parts of a player text `NAME<UID><AUTHID><TEAM>` (the quotes around
/// it excluded). Views into the line.
struct PlayerText {
  std::string_view name;
  std::string_view uid;     ///< digits, never empty
  std::string_view authId;  ///< may be empty
  std::string_view team;    ///< "CT", "TERRORIST", "SPECTATOR" or empty
};

/// Cuts a player text from the right, since a name may hold '<', '>', quotes
/// and blanks while the three bracketed parts never do. False when the text is
/// not one (no three bracketed parts, or a UID that is not all digits).
bool cutPlayerText(std::string_view text, PlayerText& player);

/// The side of a round's end.
enum class RoundWinner { Ct, Terrorist, Draw };

/// What a line says about players.
enum class PlayerLineKind {
  None,         ///< nothing about a player: a stamp-less line, a server line, a chat of the console
  Mention,      ///< a line about `subject` with no event counted here (connected, say, validated...)
  Kill,         ///< subject killed object with `text`
  Suicide,      ///< subject committed suicide with `text`
  NameChange,   ///< subject (under his old name) took the name `text`
  Action,       ///< subject triggered `action`
  JoinTeam,     ///< subject joined the team `text`
  Disconnect,   ///< subject left the server
  WeaponStats,  ///< the stats plugin's figures of subject with one weapon
  RoundEnd,     ///< a round won by `winner`, or drawn
};

/// The player triggers counted.
enum class PlayerAction { PlantedTheBomb, DefusedTheBomb, RescuedAHostage, KilledAHostage };

/// The stats plugin's "weaponstats" figures.
struct WeaponStatsFigures {
  std::int64_t shots = 0;
  std::int64_t hits = 0;
  std::int64_t kills = 0;
  std::int64_t headshots = 0;
  std::int64_t teamKills = 0;
  std::int64_t damage = 0;
  std::int64_t deaths = 0;
};

/// One line read for its players. The views point into the line.
struct PlayerLine {
  PlayerLineKind kind = PlayerLineKind::None;
  PlayerText subject;     ///< every kind but None and RoundEnd
  PlayerText object;      ///< the victim of a Kill
  std::string_view text;  ///< the weapon (Kill, Suicide, WeaponStats), new name, team joined
  PlayerAction action = PlayerAction::PlantedTheBomb;
  RoundWinner winner = RoundWinner::Draw;
  WeaponStatsFigures figures;
};

/// Reads one log line (without its line end; a trailing CR is ignored). Pure:
/// nothing is kept between lines.
PlayerLine readPlayerLine(std::string_view line);

}  // namespace fragtally
