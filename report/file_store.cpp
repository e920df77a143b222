#include "report/file_store.h"

#include <cstdint>
#include <random>
#include <system_error>

namespace fragtally {
namespace {

// A name no other writer uses: two programs storing the same report at once
// each complete their own file, and the last rename wins whole.
std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
  static std::random_device entropy;
  std::uint64_t bits = (static_cast<std::uint64_t>(entropy()) << 32) ^ entropy();
  std::string name = ".fragtally-";
  for (int i = 0; i < 16; ++i, bits >>= 4) name += "0123456789abcdef"[bits & 0xF];
  name += ".tmp";
  return target.parent_path() / name;
}

}  // namespace

bool replaceFileContents(const std::filesystem::path& target, std::string_view bytes,
                         const ContentWriter& write) {
  std::filesystem::path temporary;
  try {
    temporary = temporaryBeside(target);
  } catch (const std::exception&) {
    return false;  // no source of randomness
  }
  File file = File::createForWriting(temporary);
  if (!file.isOpen()) return false;

  const bool written = write ? write(file, bytes) : file.write(bytes);
  const bool stored = file.close() && written;
  std::error_code error;
  if (stored) {
    std::filesystem::rename(temporary, target, error);
    if (!error) return true;
  }
  std::filesystem::remove(temporary, error);
  return false;
}

}  // namespace fragtally
