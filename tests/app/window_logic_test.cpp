#include "app/window_logic.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowOrigin, HalvesPositiveDifferencesOnly) {
  struct { int extent, size, origin; } cases[] = {
      {1024, 440, 272},  // (1024 - 440) / 2 - 20
      {768, 270, 229},   // (768 - 270) / 2 - 20
      {441, 440, -20},   // 1 / 2 - 20
      {442, 440, -19},
      {440, 440, 0},     // zero: not halved
      {300, 440, -140},  // negative: not halved
      {0, 270, -270},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.origin, WindowOrigin(c.extent, c.size)) << c.extent << " - " << c.size;
}

TEST(FreezePosFlags, ArmsOnCreationThenReplacesEveryRequest) {
  int frozen = 0;
  EXPECT_EQ(0x0040u, FreezePosFlags(&frozen, 0x0040u));  // creation: unchanged
  EXPECT_EQ(1, frozen);
  EXPECT_EQ(0x020Bu, FreezePosFlags(&frozen, 0x0040u));  // SWP_SHOWWINDOW dropped
  EXPECT_EQ(0x020Bu, FreezePosFlags(&frozen, 0));         // a move becomes no move
  EXPECT_EQ(523u, static_cast<unsigned>(kFrozenPosFlags));
}

}  // namespace
