#pragma once

#include <filesystem>
#include <span>
#include <string_view>

namespace fragtally {

class MatchStats;

/// One picture the program carries: the weapon's name in upper case and the
/// complete bytes of a 128 by 32 JPEG file.
struct WeaponPicture {
  std::string_view name;
  std::span<const unsigned char> bytes;
};

/// Every picture the program carries.
std::span<const WeaponPicture> weaponPictures();

/// The picture of a weapon, its name compared without regard to letter case;
/// null when there is none.
const WeaponPicture* findWeaponPicture(std::string_view weaponName);

/// Writes, for every weapon of the record up to the first empty name, its
/// picture as "<name as the log writes it>.jpg" in `folder`. A weapon without a
/// picture, or a file that cannot be written, is skipped silently and leaves no
/// partial file.
void writeWeaponPictures(const MatchStats& stats, const std::filesystem::path& folder);

}  // namespace fragtally
namespace fragtally { void writeWeaponPicture(const std::filesystem::path& folder, std::string_view weapon); }  // TEMPORARY
