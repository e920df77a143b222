#include <gtest/gtest.h>

#include "stats/name_table.h"

namespace fragtally {
namespace {

TEST(NameTableTest, NewTableIsEmptyEverywhere) {
  NameTable table;
  EXPECT_EQ(table.lastIndex(), -1);
  EXPECT_EQ(table.nameAt(0), "");
  EXPECT_EQ(table.tagAt(0), "");
  EXPECT_EQ(table.nameAt(-1), "");
  EXPECT_EQ(table.nameAt(64), "");
}

TEST(NameTableTest, KnownNameSeenWithAnotherTeamBecomesManiacForGood) {
  NameTable table;
  EXPECT_EQ(table.findOrAdd("Ace", "CT"), 0);
  EXPECT_EQ(table.tagAt(0), "CT");
  EXPECT_EQ(table.findOrAdd("Bolt", "TERRORIST"), 1);
  EXPECT_EQ(table.findOrAdd("Ace", "CT"), 0);
  EXPECT_EQ(table.tagAt(0), "CT");
  EXPECT_EQ(table.findOrAdd("Ace", "TERRORIST"), 0);
  EXPECT_EQ(table.tagAt(0), "MANIAC");
  EXPECT_EQ(table.findOrAdd("Ace", "CT"), 0);
  EXPECT_EQ(table.tagAt(0), "MANIAC");
  EXPECT_EQ(table.tagAt(1), "TERRORIST");
  EXPECT_EQ(table.findOrAdd("ace", "CT"), 2);  // names compare case-sensitively
}

TEST(NameTableTest, TagsAreNormalisedCtFirst) {
  NameTable table;
  table.findOrAdd("a", "<CT>");
  table.findOrAdd("b", "<TERRORIST>");
  table.findOrAdd("c", "CT TERRORIST");
  table.findOrAdd("d", "terrorist");
  table.findOrAdd("e", "MANIAC");
  EXPECT_EQ(table.tagAt(0), "CT");
  EXPECT_EQ(table.tagAt(1), "TERRORIST");
  EXPECT_EQ(table.tagAt(2), "CT");
  EXPECT_EQ(table.tagAt(3), "terrorist");
  EXPECT_EQ(table.tagAt(4), "MANIAC");
}

TEST(NameTableTest, SixtyFifthNameFindsNoSlotButKnownNamesStayFound) {
  NameTable table;
  for (int i = 0; i < 64; ++i) EXPECT_EQ(table.findOrAdd("p" + std::to_string(i), "CT"), i);
  EXPECT_EQ(table.findOrAdd("p64", "CT"), -1);
  EXPECT_EQ(table.lastIndex(), 63);
  EXPECT_EQ(table.nameAt(63), "p63");
  EXPECT_EQ(table.nameAt(64), "");
  for (int i = 0; i < 64; ++i) EXPECT_EQ(table.findOrAdd("p" + std::to_string(i), "CT"), i);
}

}  // namespace
}  // namespace fragtally
