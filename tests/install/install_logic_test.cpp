#include "install/install_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The folder ends in "\World" once; one that cannot take it stays as it was.
TEST(AppendWorldFolderTo, EndsTheFolderInWorldOnce) {
  const std::string x253(253, 'x');
  struct {
    std::string dir;
    int result;
    std::string after;
  } cases[] = {
      {"C:\\Program Files\\LUMENFIELD\\", 1, "C:\\Program Files\\LUMENFIELD\\World"},
      {"C:\\Apps\\WORLD", 1, "C:\\Apps\\WORLD"},  // any letter case stays as it is
      {"C:\\Apps\\World\\", 1, "C:\\Apps\\World"},
      {"C:\\Apps\\MyWorld", 1, "C:\\Apps\\MyWorld\\World"},
      {"\\World", 1, "\\World\\World"},  // 6 characters: not longer than 6
      {"C:", 1, "C:\\World"},
      {"C:\\\\", 1, "C:\\\\World"},  // only one trailing backslash is dropped
      {x253, 1, x253 + "\\World"},  // 259 characters
      {x253 + "x", 0, x253 + "x"},
  };
  for (const auto& c : cases) {
    char dir[260];
    std::strcpy(dir, c.dir.c_str());
    EXPECT_EQ(c.result, AppendWorldFolderTo(dir, sizeof(dir))) << c.dir;
    EXPECT_EQ(c.after, dir) << c.dir;
  }
}

TEST(EndsInWorldFolder, NeedsMoreThanSixCharacters) {
  struct { const char* dir; int ends; } cases[] = {
      {"x\\wOrLd", 1}, {"\\World", 0}, {"C:\\World\\", 0}, {"C:World", 0}};
  for (const auto& c : cases) EXPECT_EQ(c.ends, EndsInWorldFolder(c.dir)) << c.dir;
}

}  // namespace
