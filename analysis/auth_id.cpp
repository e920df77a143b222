#include "analysis/auth_id.h"

#include <cstddef>

namespace fragtally {
namespace {

bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < '0' || static_cast<unsigned char>(c) > '9') return false;
  }
  return true;
}

/// "X:Y:Z", three runs of digits; the parts are left in x, y, z.
bool splitAccount(std::string_view text, std::string_view& x, std::string_view& y, std::string_view& z) {
  const std::size_t first = text.find(':');
  if (first == std::string_view::npos) return false;
  const std::size_t second = text.find(':', first + 1);
  if (second == std::string_view::npos) return false;
  x = text.substr(0, first);
  y = text.substr(first + 1, second - first - 1);
  z = text.substr(second + 1);
  return allDigits(x) && allDigits(y) && allDigits(z);
}

constexpr std::string_view kSteam = "STEAM_";
constexpr std::string_view kValve = "VALVE_";
// The one ID some non-Steam setups give every client alike.
constexpr std::string_view kSharedSteamPlaceholder = "STEAM_666:88:666";

}  // namespace

AuthKind authKindOf(std::string_view authId) {
  if (authId == "BOT") return AuthKind::Bot;
  if (authId == "HLTV") return AuthKind::Hltv;
  if (authId == "STEAM_ID_PENDING" || authId == "VALVE_ID_PENDING") return AuthKind::Pending;
  if (authId == kSharedSteamPlaceholder) return AuthKind::Placeholder;
  std::string_view x, y, z;
  if (authId.starts_with(kSteam) && splitAccount(authId.substr(kSteam.size()), x, y, z)) return AuthKind::Steam;
  if (authId.starts_with(kValve) && splitAccount(authId.substr(kValve.size()), x, y, z)) return AuthKind::Valve;
  return AuthKind::Placeholder;
}

std::string accountKeyOf(std::string_view authId) {
  std::string_view x, y, z;
  switch (authKindOf(authId)) {
    case AuthKind::Steam:
      splitAccount(authId.substr(kSteam.size()), x, y, z);
      return "steam:" + std::string(y) + ":" + std::string(z);
    case AuthKind::Valve:
      splitAccount(authId.substr(kValve.size()), x, y, z);
      return "valve:" + std::string(x) + ":" + std::string(y) + ":" + std::string(z);
    default:
      return {};
  }
}

}  // namespace fragtally
