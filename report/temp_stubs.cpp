// TEMPORARY STUBS
#include "report/index_page.h"
#include "report/file_store.h"
#include "report/weapon_pictures.h"
#include "base/error.h"
#include "base/file.h"
namespace fragtally {
void rebuildIndex(const std::filesystem::path&) {}
void removeStaleTemporaries(const std::filesystem::path&) {}
void writeWeaponPicture(const std::filesystem::path& folder, std::string_view weapon) {
  const WeaponPicture* picture = findWeaponPicture(weapon);
  if (!picture) return;
  const auto target = folder / pathFromUtf8(std::string(weapon) + ".jpg");
  if (!replaceFileContents(target, std::string_view(reinterpret_cast<const char*>(picture->bytes.data()), picture->bytes.size())))
    throw cannotCreateFile(utf8FromPath(target));
}
}
