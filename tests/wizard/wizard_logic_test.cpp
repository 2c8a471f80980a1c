#include "wizard/wizard_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(GetPathRoot, DriveUncAndRelativePaths) {
  struct { const char* path; const char* root; } cases[] = {
      {"D:\\Games\\World", "D:\\"},
      {"C:\\", "C:\\"},
      {"x:\\a:\\b", "x:\\"},              // the first ":\" only
      {"\\\\srv\\apps\\x", "\\\\srv\\apps"},
      {"\\\\srv\\apps\\x\\y", "\\\\srv\\apps"},
      {"\\\\srv\\apps", "\\\\srv\\apps"},
      {"\\\\srv", ""},                    // no share: no root
      {"\\\\srv\\", "\\\\srv\\"},
      {"relative\\dir", "relative\\dir"},
      {"\\single\\lead", "\\single\\lead"},
      {"C:", "C:"},
      {"", ""},
  };
  for (const auto& c : cases) {
    char root[260] = "junk";
    GetPathRoot(c.path, root, sizeof(root));
    EXPECT_EQ(std::string(c.root), root) << c.path;
  }
}

TEST(GetPathRoot, RootThatDoesNotFitGivesEmpty) {
  char root[4] = "jk";
  GetPathRoot("abcd", root, sizeof(root));
  EXPECT_STREQ("", root);
  GetPathRoot("D:\\Games", root, sizeof(root));
  EXPECT_STREQ("D:\\", root);
}

TEST(DiskSpace, ReserveSumQueryChoiceAndShortage) {
  EXPECT_EQ(1500000u, ReservedDiskSpaceSum(1000000, 200000, 300000));
  EXPECT_EQ(0u, ReservedDiskSpaceSum(0, 0, 0));
  EXPECT_EQ(1u, ReservedDiskSpaceSum(0xFFFFFFFFu, 1, 1));  // wraps as unsigned 32 bits

  struct { unsigned platform, build; int extended; } queries[] = {
      {2, 7601, 1}, {2, 0, 1}, {3, 0, 1},  // NT bit set
      {1, 1001, 1}, {1, 1000, 0}, {1, 0x040A08AE, 1},  // whole build field counts
      {1, 950, 0}, {0, 5000, 0},
  };
  for (const auto& q : queries)
    EXPECT_EQ(q.extended, UsesExtendedSpaceQuery(q.platform, q.build)) << q.platform << " " << q.build;

  struct { uint64_t free; uint32_t required; int small; } ext[] = {
      {0, 0, 1}, {100, 100, 1}, {101, 100, 0}, {99, 100, 1},
      {0x100000000ull, 0xFFFFFFFFu, 0},  // 4 GB free is always enough
      {0x1000000FFull, 0xFFFFFFFFu, 0},
      {0xFFFFFFFFull, 0xFFFFFFFFu, 1},
  };
  for (const auto& e : ext)
    EXPECT_EQ(e.small, ExtendedSpaceTooSmall(e.free, e.required)) << e.free << " " << e.required;

  EXPECT_EQ(8u * 512u * 1000u, PlainFreeBytes(8, 512, 1000));
  EXPECT_EQ(0u, PlainFreeBytes(64, 512, 131072));  // exactly 4 GB wraps to 0
}

}  // namespace
