#include "analysis/player_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstring>

namespace fragtally {
namespace {

// A bracketed part (UID, auth ID, team) is looked for within this many bytes
// of its closing '>', so that trying every `>"` of a hostile line as the end of
// a player text costs a bounded amount each, and a line is read in linear time.
constexpr std::size_t kPartLimit = 64;

bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < '0' || byte > '9') return false;
  }
  return true;
}

/// The bracketed part that ends at `close` (the index of its '>'): its '<' is the
/// last one before, within kPartLimit bytes. npos when there is none.
std::size_t openOfPart(std::string_view text, std::size_t close) {
  const std::size_t from = close > kPartLimit ? close - kPartLimit : 0;
  for (std::size_t at = close; at > from; --at) {
    const char c = text[at - 1];
    if (c == '<') return at - 1;
    if (c == '>') return std::string_view::npos;
  }
  return std::string_view::npos;
}

/// The text up to the next double quote from `from`; false when there is none.
bool quotedUpTo(std::string_view text, std::size_t from, std::string_view& value, std::size_t& end) {
  end = text.find('"', from);
  if (end == std::string_view::npos) return false;
  value = text.substr(from, end - from);
  return true;
}

/// The body of a line after its stamp "L MM/DD/YYYY - HH:MM:SS: ": what
/// follows the line's first ": ".
bool bodyOf(std::string_view line, std::string_view& body) {
  if (!line.starts_with("L ")) return false;
  // The stamp is 25 bytes; a colon far beyond it is no stamp's, so the search
  // for the first ": " stops there.
  constexpr std::size_t kLastColon = 40;
  // Most lines have the stamp's own ": " at 23: checked first without a branch
  // per byte for the bytes before it.
  constexpr std::size_t kStampColon = 23;
  if (line.size() > kStampColon + 1 && line[kStampColon] == ':' && line[kStampColon + 1] == ' ') {
    int earlier = 0;
    for (std::size_t at = 2; at < kStampColon; ++at) {
      earlier |= static_cast<int>(line[at] == ':') & static_cast<int>(line[at + 1] == ' ');
    }
    if (earlier == 0) {
      body = line.substr(kStampColon + 2);
      return true;
    }
  }
  const std::size_t stop = std::min(line.size(), kLastColon + 2);
  for (std::size_t colon = 2; colon + 1 < stop; ++colon) {
    if (line[colon] == ':' && line[colon + 1] == ' ') {
      body = line.substr(colon + 2);
      return true;
    }
  }
  return false;
}

/// The next `>"` in `text` at or after `from`, as the index of its '>'; npos
/// when there is none. It looks for the quote: a player text holds several '>'
/// before its end and seldom a quote.
std::size_t closeOfPlayer(std::string_view text, std::size_t from) {
  for (std::size_t quote = from + 1; quote < text.size(); ++quote) {
    const void* found = std::memchr(text.data() + quote, '"', text.size() - quote);
    if (found == nullptr) return std::string_view::npos;
    quote = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
    if (text[quote - 1] == '>') return quote - 1;
  }
  return std::string_view::npos;
}

/// The player text that `text` starts with (after its opening quote is gone):
/// the first `>"` that closes a valid player text and is followed by a blank or
/// the end. `rest` is what follows the closing quote.
bool leadingPlayer(std::string_view text, PlayerText& player, std::string_view& rest) {
  for (std::size_t at = closeOfPlayer(text, 0); at != std::string_view::npos; at = closeOfPlayer(text, at + 1)) {
    const std::size_t after = at + 2;
    if (after != text.size() && text[after] != ' ') continue;
    if (cutPlayerText(text.substr(0, at + 1), player)) {
      rest = text.substr(after);
      return true;
    }
  }
  return false;
}

/// The number of the property `needle` ("(key \"") opens, 0 when absent or no number.
std::int64_t propertyNumber(std::string_view text, std::string_view needle) {
  const std::size_t at = text.find(needle);
  if (at == std::string_view::npos) return 0;
  std::string_view value;
  std::size_t end = 0;
  if (!quotedUpTo(text, at + needle.size(), value, end)) return 0;
  std::int64_t number = 0;
  const auto [last, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || last != value.data() + value.size()) return 0;
  return number;
}

bool readWeaponStats(std::string_view rest, PlayerLine& line) {
  constexpr std::string_view kWeapon = "(weapon \"";
  const std::size_t at = rest.find(kWeapon);
  std::size_t end = 0;
  if (at == std::string_view::npos || !quotedUpTo(rest, at + kWeapon.size(), line.text, end) || line.text.empty()) {
    return false;
  }
  line.figures.shots = propertyNumber(rest, "(shots \"");
  line.figures.hits = propertyNumber(rest, "(hits \"");
  line.figures.kills = propertyNumber(rest, "(kills \"");
  line.figures.headshots = propertyNumber(rest, "(headshots \"");
  line.figures.teamKills = propertyNumber(rest, "(tks \"");
  line.figures.damage = propertyNumber(rest, "(damage \"");
  line.figures.deaths = propertyNumber(rest, "(deaths \"");
  return true;
}

struct NamedAction {
  std::string_view trigger;
  PlayerAction action;
};
constexpr std::array<NamedAction, 4> kActions{{
    {"Planted_The_Bomb", PlayerAction::PlantedTheBomb},
    {"Defused_The_Bomb", PlayerAction::DefusedTheBomb},
    {"Rescued_A_Hostage", PlayerAction::RescuedAHostage},
    {"Killed_A_Hostage", PlayerAction::KilledAHostage},
}};

void readTrigger(std::string_view rest, PlayerLine& line) {
  std::string_view trigger;
  std::size_t end = 0;
  if (!quotedUpTo(rest, 0, trigger, end)) return;
  for (const NamedAction& named : kActions) {
    if (trigger == named.trigger) {
      line.kind = PlayerLineKind::Action;
      line.action = named.action;
      return;
    }
  }
  if (trigger == "weaponstats" && readWeaponStats(rest.substr(end + 1), line)) {
    line.kind = PlayerLineKind::WeaponStats;
  }
}

void readKill(std::string_view rest, PlayerLine& line) {
  constexpr std::string_view kWith = " with \"";
  // The victim's text ends at a `>"` followed by ` with "`.
  for (std::size_t at = closeOfPlayer(rest, 0); at != std::string_view::npos; at = closeOfPlayer(rest, at + 1)) {
    if (rest.substr(at + 2, kWith.size()) != kWith || !cutPlayerText(rest.substr(0, at + 1), line.object)) continue;
    std::size_t end = 0;
    if (!quotedUpTo(rest, at + 2 + kWith.size(), line.text, end) || line.text.empty()) return;
    line.kind = PlayerLineKind::Kill;
    return;
  }
}

void readPlayerEvent(std::string_view rest, PlayerLine& line) {
  constexpr std::string_view kKilled = " killed \"";
  constexpr std::string_view kSuicide = " committed suicide with \"";
  constexpr std::string_view kRename = " changed name to \"";
  constexpr std::string_view kTriggered = " triggered \"";
  constexpr std::string_view kJoined = " joined team \"";
  constexpr std::string_view kDisconnected = " disconnected";
  std::size_t end = 0;
  if (rest.starts_with(kKilled)) {
    readKill(rest.substr(kKilled.size()), line);
  } else if (rest.starts_with(kSuicide)) {
    if (quotedUpTo(rest, kSuicide.size(), line.text, end)) line.kind = PlayerLineKind::Suicide;
  } else if (rest.starts_with(kRename)) {
    // The new name runs to the line's last quote: it may hold quotes itself.
    const std::size_t last = rest.rfind('"');
    if (last > kRename.size() && last + 1 == rest.size()) {
      line.text = rest.substr(kRename.size(), last - kRename.size());
      line.kind = PlayerLineKind::NameChange;
    }
  } else if (rest.starts_with(kTriggered)) {
    readTrigger(rest.substr(kTriggered.size()), line);
  } else if (rest.starts_with(kJoined)) {
    if (quotedUpTo(rest, kJoined.size(), line.text, end)) line.kind = PlayerLineKind::JoinTeam;
  } else if (rest == kDisconnected) {
    line.kind = PlayerLineKind::Disconnect;
  }
}

constexpr std::array<std::string_view, 8> kCtWins{
    "CTs_Win", "Bomb_Defused", "Target_Saved", "All_Hostages_Rescued",
    "VIP_Escaped", "CTs_PreventEscape", "Escaping_Terrorists_Neutralized", "Terrorists_Not_Escaped"};
constexpr std::array<std::string_view, 6> kTerroristWins{
    "Terrorists_Win", "Target_Bombed", "Hostages_Not_Rescued",
    "VIP_Assassinated", "VIP_Not_Escaped", "Terrorists_Escaped"};

template <std::size_t N>
bool isOneOf(std::string_view text, const std::array<std::string_view, N>& texts) {
  for (const std::string_view candidate : texts) {
    if (text == candidate) return true;
  }
  return false;
}

void readRoundEnd(std::string_view body, PlayerLine& line) {
  if (body.starts_with("World triggered \"Round_Draw\"")) {
    line.kind = PlayerLineKind::RoundEnd;
    line.winner = RoundWinner::Draw;
    return;
  }
  constexpr std::string_view kTeam = "Team \"";
  constexpr std::string_view kTriggered = "\" triggered \"";
  if (!body.starts_with(kTeam)) return;
  const std::size_t teamEnd = body.find('"', kTeam.size());
  if (teamEnd == std::string_view::npos || body.substr(teamEnd, kTriggered.size()) != kTriggered) return;
  const std::string_view team = body.substr(kTeam.size(), teamEnd - kTeam.size());
  std::string_view trigger;
  std::size_t end = 0;
  if (!quotedUpTo(body, teamEnd + kTriggered.size(), trigger, end)) return;
  if (team == "CT" && isOneOf(trigger, kCtWins)) {
    line.kind = PlayerLineKind::RoundEnd;
    line.winner = RoundWinner::Ct;
  } else if (team == "TERRORIST" && isOneOf(trigger, kTerroristWins)) {
    line.kind = PlayerLineKind::RoundEnd;
    line.winner = RoundWinner::Terrorist;
  }
}

}  // namespace

bool cutPlayerText(std::string_view text, PlayerText& player) {
  if (text.empty() || text.back() != '>') return false;
  const std::size_t teamOpen = openOfPart(text, text.size() - 1);
  if (teamOpen == std::string_view::npos || teamOpen == 0 || text[teamOpen - 1] != '>') return false;
  const std::size_t authOpen = openOfPart(text, teamOpen - 1);
  if (authOpen == std::string_view::npos || authOpen == 0 || text[authOpen - 1] != '>') return false;
  const std::size_t uidOpen = openOfPart(text, authOpen - 1);
  if (uidOpen == std::string_view::npos) return false;
  const std::string_view uid = text.substr(uidOpen + 1, authOpen - 2 - uidOpen);
  if (!allDigits(uid)) return false;
  player.name = text.substr(0, uidOpen);
  player.uid = uid;
  player.authId = text.substr(authOpen + 1, teamOpen - 2 - authOpen);
  player.team = text.substr(teamOpen + 1, text.size() - 2 - teamOpen);
  return true;
}

PlayerLine readPlayerLine(std::string_view line) {
  PlayerLine read;
  if (line.ends_with('\r')) line.remove_suffix(1);
  std::string_view body;
  if (!bodyOf(line, body)) return read;
  if (!body.starts_with('"')) {
    readRoundEnd(body, read);
    return read;
  }
  std::string_view rest;
  if (!leadingPlayer(body.substr(1), read.subject, rest)) return read;
  read.kind = PlayerLineKind::Mention;
  readPlayerEvent(rest, read);
  return read;
}

}  // namespace fragtally
