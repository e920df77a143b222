#include "report/weapon_pictures.h"

#include "report/file_store.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

const WeaponPicture* findWeaponPicture(std::string_view weaponName) {
  for (const WeaponPicture& picture : weaponPictures()) {
    if (equalIgnoringCase(picture.name, weaponName)) return &picture;
  }
  return nullptr;
}

void writeWeaponPictures(const MatchStats& stats, const std::filesystem::path& folder) {
  for (std::int32_t w = 0; w < kTableSlots; ++w) {
    const std::string_view name = stats.weapons.nameAt(w);
    if (name.empty()) return;
    const WeaponPicture* picture = findWeaponPicture(name);
    if (picture == nullptr) continue;
    // Only names equal to one of the pictures' (letters and digits) reach here,
    // so the file name cannot lead out of the folder.
    const std::string fileName = std::string(name) + ".jpg";
    const std::string_view bytes(reinterpret_cast<const char*>(picture->bytes.data()), picture->bytes.size());
    replaceFileContents(folder / fileName, bytes);
  }
}

}  // namespace fragtally
