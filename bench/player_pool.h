#pragma once

#include <cstdint>
#include <string>

#include "bench/split_mix.h"

namespace fragtally {

/// One person of a public server, as a seat of a generated match shows him.
struct PoolPerson {
  std::uint64_t key = 0;  ///< the same person, the same key, in every log
  std::string name;
  /// "Y:Z" of his Steam ID, written after the server's "STEAM_X:"; empty for a
  /// player the server knows by name alone (a LAN ID).
  std::string account;
  bool valveLan = false;  ///< VALVE_ID_LAN rather than STEAM_ID_LAN, when `account` is empty
};

/// Draws the person who takes a seat, from the people who play on a public
/// server over a year: a few hundred regulars fill nearly half the seats (the
/// first of them in a sixth of all matches), eleven thousand casual players
/// most of the rest, and the others are people who come once, or a LAN ID. Each log draws from its own
/// generator, so logs made apart still share their regulars: 10,000 logs of
/// 30 to 180 KB hold about 20,000 people. Many who come once keep the game's
/// default name, "Player", so people of one name are common.
PoolPerson drawPerson(SplitMix64& random);

}  // namespace fragtally
