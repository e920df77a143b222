#include "report/weapon_pictures.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "base/ascii.h"
#include "base/error.h"
#include "base/file.h"
#include "base/file_store.h"
#include "base/output_names.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

// Whether the file already holds exactly these bytes: most files that differ
// are told by their size alone, without reading them.
bool holdsExactly(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size != bytes.size()) return false;
  File file = File::openForReading(path);
  if (!file.isOpen()) return false;
  std::string held(bytes.size() + 1, '\0');  // one more: a file grown since is told apart
  std::size_t got = 0;
  while (got < held.size()) {
    const std::size_t piece = file.read(held.data() + got, held.size() - got);
    if (piece == 0) break;
    got += piece;
  }
  return !file.failed() && std::string_view(held.data(), got) == bytes;
}

}  // namespace

const WeaponPicture* findWeaponPicture(std::string_view weaponName) {
  for (const WeaponPicture& picture : weaponPictures()) {
    if (equalIgnoringAsciiCase(picture.name, weaponName)) return &picture;
  }
  return nullptr;
}

void writeWeaponPictures(const MatchStats& stats, const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (std::int32_t w = 0; w < kTableSlots; ++w) {
    const std::string_view name = stats.weapons.nameAt(w);
    if (name.empty()) break;
    names.emplace_back(name);
  }
  writeWeaponPictures(names, folder);
}

void writeWeaponPictures(std::span<const std::string> weaponNames, const std::filesystem::path& folder) {
  // Stored as one batch: a report's pictures cost one wait for the disk, not
  // two for each.
  PendingStores stores;
  std::vector<std::filesystem::path> written;
  for (const std::string& name : weaponNames) {
    const WeaponPicture* picture = findWeaponPicture(name);
    if (picture == nullptr) continue;
    // Only names equal to one of the pictures' (letters and digits) reach here,
    // so the file name cannot lead out of the folder.
    const std::filesystem::path path = folder / pathFromUtf8(name + kPictureExtension);
    const std::string_view bytes(reinterpret_cast<const char*>(picture->bytes.data()), picture->bytes.size());
    if (holdsExactly(path, bytes)) continue;
    stores.add(path, bytes);
    written.push_back(path);
  }
  const std::vector<std::filesystem::path> failed = stores.commit();
  for (const std::filesystem::path& path : written) {
    if (std::find(failed.begin(), failed.end(), path) != failed.end()) throw cannotCreateFile(utf8FromPath(path));
  }
}

}  // namespace fragtally
