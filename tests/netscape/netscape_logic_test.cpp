#include "netscape/netscape_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(BuildNetscapePaths, BuildsEveryPathOrNone) {
  NetscapePaths p;
  ASSERT_EQ(1, BuildNetscapePaths("C:\\NS6", "netscp6.exe", "C:\\P\\World", &p));
  EXPECT_STREQ("C:\\NS6\\netscp6.exe", p.executable);
  EXPECT_STREQ("C:\\NS6\\components\\nkvorn.dll", p.installedHandler);
  EXPECT_STREQ("C:\\P\\World\\nkvorn.dll", p.productHandler);
  EXPECT_STREQ("C:\\NS6\\component.reg", p.componentRegistry);
  // "\components\nkvorn.dll" is the longest addition: 22 characters.
  std::string folder(259 - 22, 'n');
  EXPECT_EQ(1, BuildNetscapePaths(folder.c_str(), "netscp6.exe", "C:\\P", &p));
  EXPECT_EQ(259u, strlen(p.installedHandler));
  EXPECT_EQ(0, BuildNetscapePaths((folder + "n").c_str(), "netscp6.exe", "C:\\P", &p));
  EXPECT_EQ(0, BuildNetscapePaths("C:\\NS6", "netscp6.exe", std::string(249, 'p').c_str(), &p));
}

TEST(ExcuseMissing, OnlyMissingFilesAndFoldersCountAsDeleted) {
  struct { unsigned long error, judged; } cases[] = {{0, 0}, {2, 0}, {3, 0}, {5, 5}, {32, 32}, {4, 4}};
  for (const auto& c : cases) EXPECT_EQ(c.judged, ExcuseMissing(c.error)) << c.error;
}

TEST(BuildNetscapeRetryText, InUseFormOrErrorCodeForm) {
  struct { int remove; unsigned long error; const char* starts; const char* ends; } cases[] = {
      {1, 32, "Failed to Un-register vorn protocol with Netscape because the files are in use.\n \t", "\t   Please close all instances of the Netscape browser and press 'Retry'"},
      {1, 5, "Failed to Un-register vorn protocol with Netscape because of the following reason : Error Code 5", ""},
      {0, 32, "Unable to update the vorn protocol handler because the files are in use.\n \t", "\t   Please close all instances of the Netscape browser and press 'Retry'"},
      {0, 3, "Unable to register the vorn protocol with Netscape for the following reason: Error Code 3", ""},
      {0, 4294967295ul, "Unable to register the vorn protocol with Netscape for the following reason: Error Code 4294967295", ""},
  };
  for (const auto& c : cases) {
    char text[260];
    ASSERT_EQ(1, BuildNetscapeRetryText(text, sizeof(text), c.remove, c.error));
    std::string t = text, starts = c.starts, ends = c.ends;
    EXPECT_EQ(starts, t.substr(0, starts.size()));
    EXPECT_EQ(ends, t.substr(t.size() - ends.size()));
    if (ends.empty()) EXPECT_EQ(starts, t);
  }
  char small[20] = "x";
  EXPECT_EQ(0, BuildNetscapeRetryText(small, sizeof(small), 1, 32));
  EXPECT_STREQ("", small);
}

}  // namespace
