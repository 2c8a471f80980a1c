#include "install/file_list_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kDest[] = "C:\\Q\\World\\";
const char kSetup[] = "D:\\pkg\\";

struct LineCase {
  const char* name;
  const char* line;
  const char* dest;       // full destination path
  const char* source;     // full source path
  const char* subfolder;  // comma lines only
  const char* key;        // what the uninstall script records
  const char* sourceName; // source relative to the setup folder
  int sameName;
  int compare;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.line; }

class ParseLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ParseLineTest, SplitsDestinationSourceAndStar) {
  const LineCase& c = GetParam();
  FileListLine out;
  ASSERT_EQ(kListLineFile, ParseFileListLine(kDest, kSetup, c.line, &out));
  EXPECT_STREQ(c.dest, out.dest);
  EXPECT_STREQ(c.source, out.source);
  EXPECT_STREQ(c.subfolder, out.subfolder);
  EXPECT_STREQ(c.key, out.dest + out.destStart);
  EXPECT_STREQ(c.sourceName, out.source + out.sourceStart);
  EXPECT_EQ(c.sameName, out.sameName);
  EXPECT_EQ(c.compare, out.compare);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseLineTest,
    ::testing::Values(
        LineCase{"Plain", "a.dll", "C:\\Q\\World\\a.dll", "D:\\pkg\\a.dll", "", "a.dll", "a.dll", 1, 1},
        LineCase{"StarSameName", "readme.txt*", "C:\\Q\\World\\readme.txt", "D:\\pkg\\readme.txt", "",
                 "readme.txt", "readme.txt", 1, 0},
        LineCase{"NoCommaSubfolders", "sub\\deep\\b.txt", "C:\\Q\\World\\sub\\deep\\b.txt", "D:\\pkg\\sub\\deep\\b.txt",
                 "", "sub\\deep\\b.txt", "sub\\deep\\b.txt", 1, 1},
        LineCase{"CommaSubfolder", "sub\\a.dll,a.dll", "C:\\Q\\World\\sub\\a.dll", "D:\\pkg\\a.dll",
                 "C:\\Q\\World\\sub\\", "sub\\a.dll", "a.dll", 0, 1},
        // Only the first subfolder level of a comma line is made.
        LineCase{"CommaFirstLevelOnly", "x\\y\\c.dat,src\\c.dat", "C:\\Q\\World\\x\\y\\c.dat", "D:\\pkg\\src\\c.dat",
                 "C:\\Q\\World\\x\\", "x\\y\\c.dat", "src\\c.dat", 0, 1},
        // With a comma the star comes off the destination only.
        LineCase{"CommaStar", "cfg.ini*,cfg.def", "C:\\Q\\World\\cfg.ini", "D:\\pkg\\cfg.def", "", "cfg.ini",
                 "cfg.def", 0, 0},
        // The source is one word: leading blanks skipped, ends at a blank.
        LineCase{"SourceOneWord", "v.exe,  LFCtrl.exe trailing words", "C:\\Q\\World\\v.exe",
                 "D:\\pkg\\LFCtrl.exe", "", "v.exe", "LFCtrl.exe", 0, 1},
        LineCase{"SourceTabs", "t.exe,\tsrc.exe\tmore", "C:\\Q\\World\\t.exe", "D:\\pkg\\src.exe", "", "t.exe",
                 "src.exe", 0, 1},
        // Split at the first comma; a later one belongs to the source word.
        LineCase{"FirstCommaSplits", "m.txt,n,o.txt", "C:\\Q\\World\\m.txt", "D:\\pkg\\n,o.txt", "", "m.txt",
                 "n,o.txt", 0, 1},
        // An empty source names the setup folder itself, which cannot be copied.
        LineCase{"EmptySource", "e.txt,", "C:\\Q\\World\\e.txt", "D:\\pkg\\", "", "e.txt", "", 0, 1},
        // A star not at the end of the destination is part of the name.
        LineCase{"StarInsideName", "a*b.txt", "C:\\Q\\World\\a*b.txt", "D:\\pkg\\a*b.txt", "", "a*b.txt", "a*b.txt",
                 1, 1}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(ParseFileListLine, CommentLinesAreSkipped) {
  FileListLine out;
  EXPECT_EQ(kListLineComment, ParseFileListLine(kDest, kSetup, ";a.dll", &out));
  EXPECT_EQ(kListLineComment, ParseFileListLine(kDest, kSetup, ";", &out));
  EXPECT_EQ(kListLineFile, ParseFileListLine(kDest, kSetup, "a;b.dll", &out));
}

TEST(ParseFileListLine, PathsThatDoNotFitAreRefused) {
  // Folder of 11 characters: a destination part of 248 fits, 249 does not.
  struct { std::string line; ListLineKind kind; } cases[] = {
      {std::string(248, 'd'), kListLineFile},
      {std::string(249, 'd'), kListLineTooLong},
      {std::string(249, 'd') + "*", kListLineTooLong},
      {std::string(248, 'd') + "*", kListLineFile},
      // The source side: setup folder of 7 characters, 252 fits.
      {"x," + std::string(252, 's'), kListLineFile},
      {"x," + std::string(253, 's'), kListLineTooLong},
      // Only the parts used as paths count, not the whole line.
      {std::string(200, 'd') + "," + std::string(200, 's'), kListLineFile},
  };
  for (const auto& c : cases) {
    FileListLine out;
    EXPECT_EQ(c.kind, ParseFileListLine(kDest, kSetup, c.line.c_str(), &out)) << c.line.size();
    if (c.kind == kListLineFile) EXPECT_LE(std::strlen(out.dest), 259u);
  }
}

std::vector<std::string> Lines(const char* list) {
  std::vector<std::string> lines;
  for (const char* p = list; *p; p += std::strlen(p) + 1) lines.push_back(p);
  return lines;
}

TEST(DropCutLastLine, DropsOnlyALineTheReadCut) {
  const std::vector<std::string> both = {"first.txt", "second.txt"};
  char list[32];
  std::memcpy(list, "first.txt\0second.txt\0", 22);  // 21 bytes and the final zero
  DropCutLastLine(list, 21, sizeof(list), nullptr, 0);
  EXPECT_EQ(both, Lines(list)) << "a read that was not cut keeps every line";

  // Cut: 16-byte buffer, returned 14, last line "seco" cut in the middle; the
  // larger read shows the line going on.
  const char fuller[] = "first.txt\0second.txt\0";
  char cut[16];
  std::memcpy(cut, "first.txt\0seco\0\0", 16);
  DropCutLastLine(cut, 14, sizeof(cut), fuller, 21);
  EXPECT_EQ(std::vector<std::string>{"first.txt"}, Lines(cut));

  // The same buffer without a larger read to compare with: dropped to be safe.
  std::memcpy(cut, "first.txt\0seco\0\0", 16);
  DropCutLastLine(cut, 14, sizeof(cut), nullptr, 0);
  EXPECT_EQ(std::vector<std::string>{"first.txt"}, Lines(cut));

  // A list that fills the buffer exactly: the larger read ends at the same
  // place, so the last line is whole and kept.
  char exact[18];
  std::memcpy(exact, "first.txt\0second\0\0", 18);
  DropCutLastLine(exact, 16, sizeof(exact), "first.txt\0second\0", 16);
  EXPECT_EQ((std::vector<std::string>{"first.txt", "second"}), Lines(exact));

  char single[8];
  std::memcpy(single, "abcdef\0\0", 8);
  DropCutLastLine(single, 6, sizeof(single), "abcdefgh\0", 8);
  EXPECT_TRUE(Lines(single).empty());
}

struct PairCase {
  uint32_t installedHigh, installedLow, newHigh, newLow;
  int newer;
};

TEST(NewerComparison, MostSignificantFirstUnsignedEqualIsNotNewer) {
  const PairCase cases[] = {
      {0x00020000, 0, 0x00010000, 0, 1},
      {0x00010000, 0, 0x00020000, 0, 0},
      {0x00010000, 5, 0x00010000, 4, 1},
      {0x00010000, 4, 0x00010000, 5, 0},
      {0x00010000, 7, 0x00010000, 7, 0},
      {0x00020000, 0, 0x00010000, 0xFFFFFFFF, 1},  // the low half cannot outweigh the high
      {0x00010000, 0xFFFFFFFF, 0x00020000, 0, 0},
      {0x80000000, 0, 0x7FFFFFFF, 0, 1},  // compared unsigned
      {0, 0x80000000, 0, 0x7FFFFFFF, 1},
      {0, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.newer, IsVersionNewer(c.installedHigh, c.installedLow, c.newHigh, c.newLow))
        << std::hex << c.installedHigh << "." << c.installedLow << " vs " << c.newHigh << "."
        << c.newLow;
    EXPECT_EQ(c.newer, IsWriteTimeNewer(c.installedHigh, c.installedLow, c.newHigh, c.newLow));
  }
}

std::vector<std::string> FoldersToCreate(const char* path) {
  std::vector<std::string> folders;
  size_t end = 0;
  for (size_t from = 0; NextFolderEnd(path, from, &end); from = end + 1)
    folders.push_back(std::string(path, end));
  return folders;
}

TEST(NextFolderEnd, WalksEveryFolderButDrivesAndEmptyParts) {
  using V = std::vector<std::string>;
  struct { const char* path; V folders; } cases[] = {
      {"C:\\Program Files\\Q\\World\\a.dll",
       V{"C:\\Program Files", "C:\\Program Files\\Q", "C:\\Program Files\\Q\\World"}},
      {"C:\\World\\", V{"C:\\World"}},
      {"C:\\a.dll", V{}},
      {"C:\\", V{}},
      {"a.dll", V{}},
      {"", V{}},
      // One-character folder names are created like any other.
      {"C:\\q\\r\\f.txt", V{"C:\\q", "C:\\q\\r"}},
      // Empty components (a doubled or leading backslash) are passed over.
      {"C:\\a\\\\b\\f", V{"C:\\a", "C:\\a\\\\b"}},
      {"\\top\\f", V{"\\top"}},
      {"D:\\x\\y\\", V{"D:\\x", "D:\\x\\y"}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.folders, FoldersToCreate(c.path)) << c.path;
}

}  // namespace
