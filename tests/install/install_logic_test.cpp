#include "install/install_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(AppendWorldFolderTo, EndsTheFolderInWorldOnce) {
  struct {
    const char* dir;
    const char* result;
  } cases[] = {
      {"C:\\Program Files\\LUMENFIELD", "C:\\Program Files\\LUMENFIELD\\World"},
      {"C:\\Program Files\\LUMENFIELD\\", "C:\\Program Files\\LUMENFIELD\\World"},  // one backslash goes
      {"C:\\Apps\\World", "C:\\Apps\\World"},
      {"C:\\Apps\\WORLD", "C:\\Apps\\WORLD"},          // any letter case stays as it is
      {"C:\\Apps\\World\\", "C:\\Apps\\World"},
      {"C:\\Apps\\Worlds", "C:\\Apps\\Worlds\\World"},
      {"C:\\Apps\\MyWorld", "C:\\Apps\\MyWorld\\World"},
      {"\\World", "\\World\\World"},                   // 6 characters: not longer than 6
      {"C:", "C:\\World"},
      {"C:\\", "C:\\World"},
      {"C:\\\\", "C:\\\\World"},                       // only one trailing backslash is dropped
  };
  for (const auto& c : cases) {
    char dir[260];
    std::strcpy(dir, c.dir);
    EXPECT_EQ(1, AppendWorldFolderTo(dir, sizeof(dir))) << c.dir;
    EXPECT_STREQ(c.result, dir) << c.dir;
  }
}

TEST(AppendWorldFolderTo, LeavesAFolderThatCannotTakeWorldUnchanged) {
  std::string longest(253, 'x');  // 253 + "\World" = 259 characters: fits
  char dir[260];
  std::strcpy(dir, longest.c_str());
  EXPECT_EQ(1, AppendWorldFolderTo(dir, sizeof(dir)));
  EXPECT_EQ(longest + "\\World", dir);

  std::string tooLong(254, 'x');
  std::strcpy(dir, tooLong.c_str());
  EXPECT_EQ(0, AppendWorldFolderTo(dir, sizeof(dir)));
  EXPECT_EQ(tooLong, dir) << "a folder that cannot take the suffix is not cut";
}

TEST(EndsInWorldFolder, NeedsMoreThanSixCharacters) {
  EXPECT_EQ(1, EndsInWorldFolder("C:\\World"));
  EXPECT_EQ(1, EndsInWorldFolder("x\\wOrLd"));
  EXPECT_EQ(0, EndsInWorldFolder("\\World"));
  EXPECT_EQ(0, EndsInWorldFolder("C:\\World\\"));
  EXPECT_EQ(0, EndsInWorldFolder("C:World"));
  EXPECT_EQ(0, EndsInWorldFolder(""));
}

}  // namespace
