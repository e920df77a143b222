#include "bench/player_pool.h"

#include <array>
#include <charconv>
#include <string_view>

#include "bench/made_up_names.h"

namespace fragtally {
namespace {

constexpr std::uint32_t kRegulars = 400;
constexpr std::uint32_t kCasuals = 11000;
/// People who come once get keys from here on, far past the pool's.
constexpr std::uint64_t kOnceKeys = 1'000'000;
/// LAN players' keys: a casual player's name under a LAN ID is someone else.
constexpr std::uint64_t kLanKeys = std::uint64_t{1} << 48;

constexpr std::array<std::string_view, 16> kFirstParts = {
    "Dark", "Silent", "Crazy", "Little", "Big", "Red", "Iron", "Lazy",
    "Mad", "Wild", "Night", "Ghost", "Killer", "Baby", "Old", "Sniper"};
constexpr std::array<std::string_view, 16> kSecondParts = {
    "Wolf", "Fox", "Bear", "Cat", "Rat", "Duck", "Owl", "Shark",
    "Boss", "Kid", "Pro", "Noob", "Hunter", "Ninja", "Monk", "Bandit"};

void appendNumber(std::string& out, std::uint64_t value) {
  char digits[20];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// A person's account and made-up name follow from his key alone.
PoolPerson personOf(std::uint64_t key, bool regular) {
  SplitMix64 mix(key * 0x2545F4914F6CDD1Du + 17);
  PoolPerson person;
  person.key = key;
  person.account = std::to_string(mix.below(2)) + ':';
  appendNumber(person.account, mix.between(10000, 199999999));
  if (regular) {
    person.name = kMadeUpNames[key % kMadeUpNames.size()];
    // Beyond the first names, regulars wear a clan tag, so that few share one.
    if (key >= kMadeUpNames.size()) {
      person.name = "[C" + std::to_string(key / kMadeUpNames.size()) + "] " + person.name;
    }
  } else if (key >= kOnceKeys && mix.chance(300)) {
    person.name = "Player";
  } else {
    person.name = kFirstParts[mix.below(kFirstParts.size())];
    person.name += kSecondParts[mix.below(kSecondParts.size())];
    if (mix.chance(500)) appendNumber(person.name, mix.below(100));
  }
  return person;
}

}  // namespace

PoolPerson drawPerson(SplitMix64& random) {
  const std::uint32_t kind = random.below(1000);
  if (kind < 470) {
    // The product of three evenly drawn numbers leans to the small ones: the
    // first regulars play in most matches, the last now and then.
    const std::uint32_t regular = static_cast<std::uint32_t>(
        std::uint64_t{random.below(kRegulars)} * random.below(kRegulars) * random.below(kRegulars) /
        (kRegulars * kRegulars));
    return personOf(regular, true);
  }
  if (kind < 910) return personOf(kRegulars + random.below(kCasuals), false);
  if (kind < 985) return personOf(kOnceKeys + (random.next() >> 24), false);
  // A LAN ID: only his name tells him, and casual players' names come back.
  PoolPerson lan = personOf(kRegulars + random.below(kCasuals), false);
  lan.key += kLanKeys;
  lan.account.clear();
  lan.valveLan = kind >= 995;
  return lan;
}

}  // namespace fragtally
