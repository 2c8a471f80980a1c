#include "wizard/wizard_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(GetPathRoot, DriveUncAndRelativePaths) {
  struct { const char* path; size_t size; const char* root; } cases[] = {
      {"D:\\Games\\World", 260, "D:\\"},
      {"x:\\a:\\b", 260, "x:\\"},  // the first ":\" only
      {"\\\\srv\\apps\\x\\y", 260, "\\\\srv\\apps"},
      {"\\\\srv", 260, ""},  // no share: no root, and the check passes
      {"relative\\dir", 260, "relative\\dir"},
      {"\\single\\lead", 260, "\\single\\lead"},
      {"abcd", 4, ""},  // a root that does not fit is none
      {"D:\\Games", 4, "D:\\"},
  };
  for (const auto& c : cases) {
    char root[260] = "junk";
    GetPathRoot(c.path, root, c.size);
    EXPECT_EQ(std::string(c.root), root) << c.path << " in " << c.size;
  }
}

TEST(DiskSpace, ReserveSumQueryChoiceAndShortage) {
  EXPECT_EQ(1500000u, ReservedDiskSpaceSum(1000000, 200000, 300000));
  EXPECT_EQ(1u, ReservedDiskSpaceSum(0xFFFFFFFFu, 1, 1));  // unsigned 32 bits

  struct { unsigned platform, build; int extended; } queries[] = {
      {2, 7601, 1}, {1, 1001, 1}, {1, 1000, 0},
      {1, 0x040003B6, 1},  // Windows 95: the whole field, not its low word 950
      {0, 5000, 0},
  };
  for (const auto& q : queries)
    EXPECT_EQ(q.extended, UsesExtendedSpaceQuery(q.platform, q.build)) << q.platform << " " << q.build;

  struct { uint64_t free; uint32_t required; int small; } ext[] = {
      {0, 0, 1}, {100, 100, 1}, {101, 100, 0},
      {0x100000000ull, 0xFFFFFFFFu, 0},  // 4 GB free is always enough
      {0xFFFFFFFFull, 0xFFFFFFFFu, 1},
  };
  for (const auto& e : ext)
    EXPECT_EQ(e.small, ExtendedSpaceTooSmall(e.free, e.required)) << e.free << " " << e.required;

  EXPECT_EQ(4096000u, PlainFreeBytes(8, 512, 1000));
  EXPECT_EQ(0u, PlainFreeBytes(64, 512, 131072));  // exactly 4 GB wraps to 0
}

}  // namespace
