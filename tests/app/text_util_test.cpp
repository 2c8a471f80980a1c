#include "app/text_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A copy that does not fit leaves the buffer as it was; one that fits writes
// nothing past its terminator.
TEST(CopyBounded, CopiesOnlyWhatFitsWithTerminator) {
  struct { size_t length, size; int fits; } cases[] = {
      {127, 128, 1}, {128, 128, 0}, {0, 1, 1}, {0, 0, 0}};
  for (const auto& c : cases) {
    std::string src(c.length, 'q');
    char dst[300];
    std::memset(dst, '#', sizeof(dst));
    dst[0] = 'X';
    EXPECT_EQ(c.fits, CopyBounded(src.c_str(), dst, c.size)) << c.length << " into " << c.size;
    EXPECT_EQ(c.fits ? src : "X", c.fits ? std::string(dst) : std::string(dst, 1));
    EXPECT_EQ('#', dst[c.fits ? c.length + 1 : 1]);
  }
}

TEST(FormatBounded, FitsExactlyOrLeavesEmpty) {
  char buf[8];
  EXPECT_EQ(1, FormatBounded(buf, sizeof(buf), "%s\\%s", "abc", "def"));  // 7 chars
  EXPECT_STREQ("abc\\def", buf);
  EXPECT_EQ(0, FormatBounded(buf, sizeof(buf), "%s\\%s", "abcd", "def"));  // 8 chars
  EXPECT_STREQ("", buf) << "a cut text must never be left behind";
  EXPECT_EQ(0, FormatBounded(buf, 0, "x"));
}

TEST(EqualsNoCase, FoldsOnlyAsciiLetters) {
  struct { const char* a; const char* b; int equal; } cases[] = {
      {"LFUninst.exe", "lfuninst.EXE", 1}, {"abc", "abcd", 0}, {"abcd", "abc", 0}, {"[", "{", 0},
      {"\xC4", "\xE4", 0},  // non-ASCII letters are compared as they are
  };
  for (const auto& c : cases) EXPECT_EQ(c.equal, EqualsNoCase(c.a, c.b)) << c.a << " vs " << c.b;
}

TEST(AfterLastBackslash, FindsFileNamePart) {
  EXPECT_STREQ("LFUninst.exe", AfterLastBackslash("C:\\WINDOWS\\LFUninst.exe"));
  EXPECT_STREQ("", AfterLastBackslash("C:\\dir\\"));
  EXPECT_EQ(nullptr, AfterLastBackslash("LFUninst.exe"));
}

}  // namespace
