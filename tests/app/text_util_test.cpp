#include "app/text_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct CopyCase {
  size_t length;   // source length
  size_t size;     // destination size
  int fits;
};

class CopyBoundedTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyBoundedTest, CopiesOnlyWhatFitsWithTerminator) {
  const CopyCase& c = GetParam();
  std::string src(c.length, 'q');
  char dst[300];
  std::memset(dst, '#', sizeof(dst));
  dst[0] = 'X';
  ASSERT_LE(c.size, sizeof(dst));
  EXPECT_EQ(c.fits, CopyBounded(src.c_str(), dst, c.size));
  if (c.fits) {
    EXPECT_EQ(src, std::string(dst));
    // Nothing past the terminator is written.
    if (c.length + 1 < sizeof(dst)) EXPECT_EQ('#', dst[c.length + 1]);
  } else {
    EXPECT_EQ('X', dst[0]) << "a failed copy must leave the buffer unchanged";
    EXPECT_EQ('#', dst[1]);
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, CopyBoundedTest,
                         ::testing::Values(CopyCase{127, 128, 1}, CopyCase{128, 128, 0},
                                           CopyCase{0, 1, 1}, CopyCase{0, 0, 0},
                                           CopyCase{1, 1, 0}, CopyCase{259, 260, 1},
                                           CopyCase{260, 260, 0}),
                         [](const ::testing::TestParamInfo<CopyCase>& info) {
                           return "Length" + std::to_string(info.param.length) + "Into" +
                                  std::to_string(info.param.size);
                         });

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
      {"LFUninst.exe", "lfuninst.EXE", 1}, {"\\s", "\\S", 1}, {"\\f", "\\F", 1},
      {"abc", "abcd", 0}, {"abcd", "abc", 0}, {"", "", 1}, {"[", "{", 0},
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
