#include "netscape/netscape_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "\components\nkvorn.dll", 22 characters, is the longest addition to the Netscape folder; 259 characters fit.
TEST(BuildNetscapePaths, BuildsEveryPathOrNone) {
  NetscapePaths p;
  ASSERT_EQ(1, BuildNetscapePaths("C:\\NS6", "netscp6.exe", "C:\\P", &p));
  EXPECT_STREQ("C:\\NS6\\netscp6.exe", p.executable);
  EXPECT_STREQ("C:\\NS6\\components\\nkvorn.dll", p.installedHandler);
  EXPECT_STREQ("C:\\P\\nkvorn.dll", p.productHandler);
  EXPECT_STREQ("C:\\NS6\\component.reg", p.componentRegistry);
  std::string folder(259 - 22, 'n');
  EXPECT_EQ(1, BuildNetscapePaths(folder.c_str(), "netscp6.exe", "C:\\P", &p));
  EXPECT_EQ(0, BuildNetscapePaths((folder + "n").c_str(), "netscp6.exe", "C:\\P", &p));
  EXPECT_EQ(0, BuildNetscapePaths("C:\\NS6", "netscp6.exe", std::string(249, 'p').c_str(), &p));
}

// A file or path not found counts as deleted; a text that does not fit is left empty, never cut.
TEST(NetscapeRetry, MissingCountsAsDeletedAndTextsNeverCut) {
  for (unsigned long e : {0ul, 2ul, 3ul}) EXPECT_EQ(0ul, ExcuseMissing(e));
  for (unsigned long e : {5ul, 32ul}) EXPECT_EQ(e, ExcuseMissing(e));
  char text[260];
  ASSERT_EQ(1, BuildNetscapeRetryText(text, sizeof(text), 0, 4294967295ul));
  EXPECT_STREQ("Unable to register the vorn protocol with Netscape for the following reason: Error Code 4294967295",
               text);
  EXPECT_EQ(0, BuildNetscapeRetryText(text, 20, 1, 32));
  EXPECT_STREQ("", text);
}

}  // namespace
