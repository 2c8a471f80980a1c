#include "wizard/wizard_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The reserve sums in 32 bits. The extended query: NT, or 9x with the whole build field (not its low word) above
// 1000. Space is short at or below the need unless 4 GB are free; the plain product wraps at 4 GB.
TEST(DiskSpace, ReserveSumQueryChoiceAndShortage) {
  EXPECT_EQ(4u, ReservedDiskSpaceSum(0xFFFFFFFFu, 2, 3));
  struct { unsigned platform, build; int extended; } queries[] = {
      {2, 7601, 1}, {1, 1001, 1}, {1, 1000, 0}, {1, 0x040003B6, 1}, {0, 5000, 0}};
  for (const auto& q : queries) EXPECT_EQ(q.extended, UsesExtendedSpaceQuery(q.platform, q.build)) << q.build;
  struct { uint64_t free; uint32_t required; int small; } ext[] = {
      {0, 0, 1}, {100, 100, 1}, {101, 100, 0}, {0x100000000ull, 0xFFFFFFFFu, 0}, {0xFFFFFFFFull, 0xFFFFFFFFu, 1}};
  for (const auto& e : ext) EXPECT_EQ(e.small, ExtendedSpaceTooSmall(e.free, e.required)) << e.free;
  EXPECT_EQ(0u, PlainFreeBytes(64, 512, 131072));
}

// A share's root keeps the backslash that the free-space query needs, with or without a folder below it.
TEST(GetPathRoot, DriveShareAndRelative) {
  struct { const char* path; const char* root; } cases[] = {
      {"D:\\Games\\World", "D:\\"}, {"\\\\srv\\apps\\x\\y", "\\\\srv\\apps\\"}, {"\\\\srv\\apps", "\\\\srv\\apps\\"},
      {"\\\\srv", ""}, {"relative\\dir", "relative\\dir"}};
  for (const auto& c : cases) {
    char root[260];
    GetPathRoot(c.path, root, sizeof(root));
    EXPECT_STREQ(c.root, root) << c.path;
  }
  char small[11];
  GetPathRoot("\\\\srv\\apps", small, sizeof(small));  // 10 characters fit; the backslash would not
  EXPECT_STREQ("", small);
}

}  // namespace
