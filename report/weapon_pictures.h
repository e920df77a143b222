#pragma once

#include <filesystem>
#include <span>
#include <string>
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

/// Writes, for every weapon of the match statistics up to the first empty name, its
/// picture as "<name as the log writes it>.jpg" in `folder`, each stored whole
/// and durably (PendingStores). A weapon without a picture is skipped. A file
/// that already holds exactly the picture's bytes is left untouched. The other
/// pictures are still written when one cannot be; then throws
/// cannotCreateFile(<that picture's path>) for the first that failed.
void writeWeaponPictures(const MatchStats& stats, const std::filesystem::path& folder);

/// The same for a list of weapon names (a run that writes the pictures of many
/// reports once): every name is tried, an empty one included.
void writeWeaponPictures(std::span<const std::string> weaponNames, const std::filesystem::path& folder);

}  // namespace fragtally
