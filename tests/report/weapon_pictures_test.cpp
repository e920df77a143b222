#include <gtest/gtest.h>

#include <chrono>
#include <set>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/error.h"
#include "base/file.h"
#include "report/weapon_pictures.h"
#include "stats/match_stats.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::readFile;
using testing::TempFolder;

struct JpegFacts {
  bool jfif = false;
  bool baseline = false;
  int components = 0;
  int width = 0;
  int height = 0;
};

// Walks the JPEG markers up to the first start-of-frame.
JpegFacts readJpegFacts(std::span<const unsigned char> bytes) {
  JpegFacts facts;
  if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return facts;
  std::size_t at = 2;
  while (at + 4 <= bytes.size() && bytes[at] == 0xFF) {
    const unsigned char marker = bytes[at + 1];
    const std::size_t length = static_cast<std::size_t>(bytes[at + 2]) << 8 | bytes[at + 3];
    if (marker == 0xE0 && at + 9 <= bytes.size()) {
      facts.jfif = std::string_view(reinterpret_cast<const char*>(&bytes[at + 4]), 5) == std::string_view("JFIF\0", 5);
    }
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (at + 10 > bytes.size()) return facts;
      facts.baseline = marker == 0xC0;
      facts.height = bytes[at + 5] << 8 | bytes[at + 6];
      facts.width = bytes[at + 7] << 8 | bytes[at + 8];
      facts.components = bytes[at + 9];
      return facts;
    }
    at += 2 + length;
  }
  return facts;
}

TEST(WeaponPicturesTest, EveryPictureIsABaselineColourJfifOf128By32) {
  std::set<std::string_view> names;
  for (const WeaponPicture& picture : weaponPictures()) {
    names.insert(picture.name);
    const JpegFacts facts = readJpegFacts(picture.bytes);
    EXPECT_TRUE(facts.jfif) << picture.name;
    EXPECT_TRUE(facts.baseline) << picture.name;
    EXPECT_EQ(facts.components, 3) << picture.name;
    EXPECT_EQ(facts.width, 128) << picture.name;
    EXPECT_EQ(facts.height, 32) << picture.name;
    EXPECT_EQ(picture.bytes[picture.bytes.size() - 2], 0xFF) << picture.name;  // ends with EOI
    EXPECT_EQ(picture.bytes[picture.bytes.size() - 1], 0xD9) << picture.name;
  }
  EXPECT_EQ(weaponPictures().size(), 26u);  // no name twice
  EXPECT_EQ(names, (std::set<std::string_view>{"AK47", "AUG", "AWP", "DEAGLE", "ELITE", "FAMAS",
                                               "FIVESEVEN", "G3SG1", "GALIL", "GLOCK18", "GRENADE",
                                               "KNIFE", "M249", "M3", "M4A1", "MAC10", "MP5NAVY",
                                               "P228", "P90", "SCOUT", "SG550", "SG552", "TMP",
                                               "UMP45", "USP", "XM1014"}));
}

TEST(WeaponPicturesTest, EmbeddedBytesAreTheResourceFiles) {
  for (const WeaponPicture& picture : weaponPictures()) {
    const std::string file = readFile(testing::sourcePath("resources/weapons/" + std::string(picture.name) + ".jpg"));
    EXPECT_EQ(file, std::string(reinterpret_cast<const char*>(picture.bytes.data()), picture.bytes.size()))
        << picture.name;
  }
}

TEST(WeaponPicturesTest, LookupIgnoresCase) {
  ASSERT_NE(findWeaponPicture("ak47"), nullptr);
  EXPECT_EQ(findWeaponPicture("ak47")->name, "AK47");
  EXPECT_EQ(findWeaponPicture("Mp5Navy")->name, "MP5NAVY");
  ASSERT_NE(findWeaponPicture("galil"), nullptr);
  EXPECT_EQ(findWeaponPicture("galil")->name, "GALIL");
  ASSERT_NE(findWeaponPicture("Famas"), nullptr);
  EXPECT_EQ(findWeaponPicture("Famas")->name, "FAMAS");
  // Kills by the world or a map entity name no weapon the program pictures.
  EXPECT_EQ(findWeaponPicture("world"), nullptr);
  EXPECT_EQ(findWeaponPicture("worldspawn"), nullptr);
  EXPECT_EQ(findWeaponPicture("ak4"), nullptr);
  EXPECT_EQ(findWeaponPicture(""), nullptr);
}

TEST(WeaponPicturesTest, FilesKeepTheLogsSpellingAndOnlyPicturedWeaponsGetOne) {
  TempFolder folder;
  MatchStats stats;
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "m4a1");
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "world");
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "../awp");
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "Deagle");
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "galil");
  testing::writeFile(folder / "m4a1.jpg", "an older picture");
  writeWeaponPictures(stats, folder.path());

  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    files.insert(utf8FromPath(entry.path().filename()));
  }
  EXPECT_EQ(files, (std::set<std::string>{"m4a1.jpg", "Deagle.jpg", "galil.jpg"}));
  const WeaponPicture* m4a1 = findWeaponPicture("M4A1");
  EXPECT_EQ(readFile(folder / "m4a1.jpg"),
            std::string(reinterpret_cast<const char*>(m4a1->bytes.data()), m4a1->bytes.size()));
}

std::string pictureBytes(std::string_view name) {
  const WeaponPicture* picture = findWeaponPicture(name);
  return std::string(reinterpret_cast<const char*>(picture->bytes.data()), picture->bytes.size());
}

TEST(WeaponPicturesTest, APictureThatCannotBeWrittenIsNamedAfterTheOthersAreWritten) {
  TempFolder folder;
  MatchStats stats;
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "AWP");
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "knife");
  std::filesystem::create_directory(folder / "AWP.jpg");
  try {
    writeWeaponPictures(stats, folder.path());
    ADD_FAILURE() << "no error for a picture whose name a folder holds";
  } catch (const Error& error) {
    EXPECT_EQ(userMessage(error.what()), "Cannot create file " + utf8FromPath(folder / "AWP.jpg") + ".");
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder / "AWP.jpg"));
  EXPECT_EQ(readFile(folder / "knife.jpg"), pictureBytes("KNIFE"));
}

// A run over many logs into one folder finds most pictures already there: they
// are neither rewritten nor renamed, so their files stay the same.
TEST(WeaponPicturesTest, AFileHoldingThePictureAlreadyIsLeftUntouched) {
  TempFolder folder;
  const std::vector<std::string> names{"usp", "p90"};
  writeWeaponPictures(names, folder.path());
  const auto hourAgo = std::filesystem::last_write_time(folder / "usp.jpg") - std::chrono::hours(1);
  std::filesystem::last_write_time(folder / "usp.jpg", hourAgo);
  std::filesystem::last_write_time(folder / "p90.jpg", hourAgo);
  std::string sameSizeOtherBytes = pictureBytes("P90");
  sameSizeOtherBytes[100] = static_cast<char>(sameSizeOtherBytes[100] ^ 1);
  testing::writeFile(folder / "p90.jpg", sameSizeOtherBytes);
  std::filesystem::last_write_time(folder / "p90.jpg", hourAgo);
#ifndef _WIN32
  struct stat before {};
  ASSERT_EQ(stat((folder / "usp.jpg").c_str(), &before), 0);
#endif

  writeWeaponPictures(names, folder.path());
  EXPECT_EQ(std::filesystem::last_write_time(folder / "usp.jpg"), hourAgo);
#ifndef _WIN32
  struct stat after {};
  ASSERT_EQ(stat((folder / "usp.jpg").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
#endif
  EXPECT_NE(std::filesystem::last_write_time(folder / "p90.jpg"), hourAgo);
  EXPECT_EQ(readFile(folder / "p90.jpg"), pictureBytes("P90"));
}

}  // namespace
}  // namespace fragtally
