#pragma once

#include <array>
#include <string_view>

namespace fragtally {

/// Made-up player names with blanks, brackets, an ampersand and UTF-8 bytes,
/// as real servers' names have them: the generated logs' players, and the
/// regulars of the public server's pool.
inline constexpr std::array<std::string_view, 40> kMadeUpNames = {
    "Ann",           "Bob",         "Grim",         "\xD0\x92\xD0\xB0\xD1\x81\xD1\x8F",
    "J\xC3\xBCrgen", "[XG] Viper",  "Make it Rain", "Tom&Jerry",
    "sn1per",        "Dr. Oktopus", "Kestrel",      "Nova",
    "Bram",          "Ilse",        "Quill",        "Ozzy_77",
    "Mira",          "Pavel",       "Eun-ji",       "Rook",
    "lucky (again)", "Hazel",       "Tarik",        "Frost",
    "Juno",          "Wren",        "Oleg",         "Maelstrom",
    "Bo",            "Pixel",       "Zed",          "Calla",
    "\xD0\x9B\xD1\x91\xD1\x85\xD0\xB0", "Yuki", "Marcus", "Otto",
    "Vex",           "Lina",        "Sasha",        "Dex"};

}  // namespace fragtally
