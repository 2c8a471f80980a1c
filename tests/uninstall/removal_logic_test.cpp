#include "uninstall/removal_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using V = std::vector<std::string>;

// A logged file is a key with an empty value; 259 characters fit, a longer one is refused, not cut.
TEST(ParseLoggedFileLine, RecognisesOnlyKeysWithAnEmptyValueThatFit) {
  const std::string k259(259, 'f');
  struct { std::string line; int result; std::string entry; } cases[] = {
      {"sub\\a.dll=", 1, "sub\\a.dll"}, {"a=b=", 1, "a=b"}, {";readme.txt=", 0, ""}, {"Target=LFViewer.exe", 0, ""},
      {"readme.txt= ", 0, ""}, {"=", 0, ""}, {"", 0, ""}, {k259 + "=", 1, k259}, {k259 + "f=", -1, ""}};
  for (const auto& c : cases) {
    char entry[260] = "X";
    EXPECT_EQ(c.result, ParseLoggedFileLine(c.line.c_str(), entry, sizeof(entry))) << c.line;
    EXPECT_EQ(c.entry, entry) << c.line;
  }
}

// Folder arithmetic of the removal: which parent goes with the product
// folder ("" when none), and which folders may be removed at all.
TEST(RemovalFolders, ParentOnlyForKnownTailsAndNeverARootOrShare) {
  struct { const char* folder; const char* parent; } parents[] = {
      {"C:\\Program Files\\LUMENFIELD\\wOrLd", "C:\\Program Files\\LUMENFIELD"}, {"D:\\LF\\BUILDER", "D:\\LF"},
      {"D:\\LF\\Worlds", ""}, {"D:\\LF\\MyWorld", ""}, {"D:\\LF\\World\\", ""}, {"World", ""}, {"C:\\World", ""},
      {"\\World", ""}};
  for (const auto& c : parents) {
    char parent[260] = "X";
    EXPECT_EQ(c.parent[0] ? 1 : 0, ProductFolderParent(c.folder, parent, sizeof(parent))) << c.folder;
    EXPECT_STREQ(c.parent, parent) << c.folder;
  }
  struct { const char* folder; int removable; } folders[] = {
      {"C:\\World", 1}, {"C:\\World\\", 1}, {"\\\\server\\share\\World", 1}, {"C:\\", 0},
      {"C:", 0},        {"C:\\\\", 0},      {"\\\\server\\share", 0},        {"\\\\server\\share\\", 0},
      {"\\World", 0},   {"World", 0},       {"", 0}};
  for (const auto& c : folders) EXPECT_EQ(c.removable, IsRemovableFolderPath(c.folder)) << c.folder;
}

}  // namespace
