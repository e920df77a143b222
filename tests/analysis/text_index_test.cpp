#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>

#include "analysis/text_index.h"

namespace fragtally {
namespace {

TEST(TextIndexTest, KeepsReplacesAndForgetsAsAMapDoes) {
  // Many texts over a table that grows and whose runs an erase has to close up.
  std::mt19937_64 random(5);
  TextIndex index;
  std::unordered_map<std::string, std::size_t> map;
  for (int step = 0; step < 200000; ++step) {
    const std::string text = std::to_string(random() % 700);
    switch (random() % 3) {
      case 0:
        index.set(text, static_cast<std::size_t>(step));
        map[text] = static_cast<std::size_t>(step);
        break;
      case 1:
        index.erase(text);
        map.erase(text);
        break;
      default: {
        const auto found = map.find(text);
        ASSERT_EQ(index.find(text), found == map.end() ? TextIndex::kMissing : found->second) << step;
      }
    }
    ASSERT_EQ(index.size(), map.size()) << step;
  }
  for (const auto& [text, value] : map) EXPECT_EQ(index.find(text), value);
}

TEST(TextIndexTest, EmptyTextsAndAnEmptyIndex) {
  TextIndex index;
  EXPECT_EQ(index.find(""), TextIndex::kMissing);
  index.erase("x");
  index.set("", 4);
  EXPECT_EQ(index.find(""), 4u);
  EXPECT_EQ(index.find("x"), TextIndex::kMissing);
}

}  // namespace
}  // namespace fragtally
