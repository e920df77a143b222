#pragma once

#include <string>
#include <string_view>

namespace fragtally {

/// What a player's auth ID says about who he is.
enum class AuthKind {
  Steam,        ///< STEAM_X:Y:Z, an account
  Valve,        ///< VALVE_X:Y:Z, an ID the server derived for a non-Steam client
  Bot,          ///< BOT
  Hltv,         ///< the spectator proxy, not a player
  Pending,      ///< STEAM_ID_PENDING / VALVE_ID_PENDING: the same UID shows the real ID later
  Placeholder,  ///< STEAM_ID_LAN, VALVE_ID_LAN, STEAM_666:88:666, empty or unknown: only the name tells
};

AuthKind authKindOf(std::string_view authId);

/// True for the kinds that name an account (Steam, Valve).
inline bool isAccount(AuthKind kind) { return kind == AuthKind::Steam || kind == AuthKind::Valve; }

/// The account an auth ID names, as a key: "steam:Y:Z" (X differs between server
/// builds for one account, so it is left out), "valve:X:Y:Z"; empty for any other kind.
std::string accountKeyOf(std::string_view authId);

}  // namespace fragtally
