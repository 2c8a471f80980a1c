#include "install/file_list_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kDest[] = "C:\\Q\\World\\";
const char kSetup[] = "D:\\pkg\\";

// Every form of a list line: what it installs where, what the uninstall
// script records ("" kind: comment or too long).
TEST(ParseFileListLine, SplitsDestinationSourceAndStar) {
  struct {
    std::string line;
    int kind;
    const char *dest, *source, *subfolder, *sourceName;
    int sameName, compare;
  } cases[] = {
      {"a.dll", kListLineFile, "a.dll", "a.dll", "", "a.dll", 1, 1},
      {"readme.txt*", kListLineFile, "readme.txt", "readme.txt", "", "readme.txt", 1, 0},
      {"sub\\a.dll,a.dll", kListLineFile, "sub\\a.dll", "a.dll", "sub\\", "a.dll", 0, 1},
      {"x\\y\\c.dat,src\\c.dat", kListLineFile, "x\\y\\c.dat", "src\\c.dat", "x\\", "src\\c.dat", 0, 1},
      {"cfg.ini*,cfg.def", kListLineFile, "cfg.ini", "cfg.def", "", "cfg.def", 0, 0},
      {"v.exe,  LFCtrl.exe trailing", kListLineFile, "v.exe", "LFCtrl.exe", "", "LFCtrl.exe", 0, 1},
      {"t.exe,\tsrc.exe\tmore", kListLineFile, "t.exe", "src.exe", "", "src.exe", 0, 1},
      {"m.txt,n,o.txt", kListLineFile, "m.txt", "n,o.txt", "", "n,o.txt", 0, 1},
      {"e.txt,", kListLineFile, "e.txt", "", "", "", 0, 1},
      {"a*b.txt", kListLineFile, "a*b.txt", "a*b.txt", "", "a*b.txt", 1, 1},
      {"a;b.dll", kListLineFile, "a;b.dll", "a;b.dll", "", "a;b.dll", 1, 1},
      {";a.dll", kListLineComment},
      // A folder of 11 characters leaves 248 for the destination part, a
      // setup folder of 7 leaves 252 for the source; only those parts count.
      {std::string(248, 'd') + "*", kListLineFile},
      {std::string(249, 'd'), kListLineTooLong},
      {std::string(249, 'd') + "*", kListLineTooLong},
      {"x," + std::string(252, 's'), kListLineFile},
      {"x," + std::string(253, 's'), kListLineTooLong},
      {std::string(200, 'd') + "," + std::string(200, 's'), kListLineFile},
  };
  for (const auto& c : cases) {
    FileListLine out;
    ASSERT_EQ(c.kind, ParseFileListLine(kDest, kSetup, c.line.c_str(), &out)) << c.line;
    if (c.kind != kListLineFile) continue;
    EXPECT_LE(std::strlen(out.dest), 259u);
    if (!c.dest) continue;
    EXPECT_EQ(std::string(kDest) + c.dest, out.dest) << c.line;
    EXPECT_EQ(std::string(kSetup) + c.source, out.source) << c.line;
    EXPECT_EQ(c.subfolder[0] ? std::string(kDest) + c.subfolder : "", out.subfolder) << c.line;
    EXPECT_STREQ(c.dest, out.dest + out.destStart) << c.line;
    EXPECT_STREQ(c.sourceName, out.source + out.sourceStart) << c.line;
    EXPECT_EQ(c.sameName, out.sameName) << c.line;
    EXPECT_EQ(c.compare, out.compare) << c.line;
  }
}

// A section read into `size` bytes that returned `returned`; `fuller` is the
// larger read (empty: it failed). Only a line the read cut is dropped.
TEST(DropCutLastLine, DropsOnlyALineTheReadCut) {
  using V = std::vector<std::string>;
  struct {
    std::string read;
    size_t returned, size;
    std::string fuller;
    V lines;
  } cases[] = {
      {std::string("first.txt\0second.txt\0", 22), 21, 32, "", V{"first.txt", "second.txt"}},
      {std::string("first.txt\0seco\0\0", 16), 14, 16, std::string("first.txt\0second.txt\0", 21),
       V{"first.txt"}},
      {std::string("first.txt\0seco\0\0", 16), 14, 16, "", V{"first.txt"}},
      {std::string("first.txt\0second\0\0", 18), 16, 18, std::string("first.txt\0second\0", 16),
       V{"first.txt", "second"}},
      {std::string("abcdef\0\0", 8), 6, 8, std::string("abcdefgh\0", 8), V{}},
  };
  for (const auto& c : cases) {
    std::vector<char> list(c.read.begin(), c.read.end());
    DropCutLastLine(list.data(), c.returned, c.size, c.fuller.empty() ? nullptr : c.fuller.data(),
                    c.fuller.size());
    V lines;
    for (const char* p = list.data(); *p; p += std::strlen(p) + 1) lines.push_back(p);
    EXPECT_EQ(c.lines, lines) << c.returned << "/" << c.size;
  }
}

TEST(NewerComparison, MostSignificantFirstUnsignedEqualIsNotNewer) {
  struct {
    uint32_t installedHigh, installedLow, newHigh, newLow;
    int newer;
  } cases[] = {
      {0x00020000, 0, 0x00010000, 0xFFFFFFFF, 1},  // the low half cannot outweigh the high
      {0x00010000, 0xFFFFFFFF, 0x00020000, 0, 0},
      {0x00010000, 5, 0x00010000, 4, 1},
      {0x00010000, 7, 0x00010000, 7, 0},
      {0x80000000, 0, 0x7FFFFFFF, 0, 1},  // compared unsigned
      {0, 0x80000000, 0, 0x7FFFFFFF, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.newer, IsVersionNewer(c.installedHigh, c.installedLow, c.newHigh, c.newLow))
        << std::hex << c.installedHigh << "." << c.installedLow;
    EXPECT_EQ(c.newer, IsWriteTimeNewer(c.installedHigh, c.installedLow, c.newHigh, c.newLow));
  }
}

TEST(NextFolderEnd, WalksEveryFolderButDrivesAndEmptyParts) {
  using V = std::vector<std::string>;
  struct {
    const char* path;
    V folders;
  } cases[] = {
      {"C:\\Program Files\\Q\\World\\a.dll", V{"C:\\Program Files", "C:\\Program Files\\Q", "C:\\Program Files\\Q\\World"}},
      {"C:\\World\\", V{"C:\\World"}},
      {"C:\\a.dll", V{}},
      {"a.dll", V{}},
      {"C:\\a\\\\b\\f", V{"C:\\a", "C:\\a\\\\b"}},  // empty parts passed over
      {"\\top\\f", V{"\\top"}},
  };
  for (const auto& c : cases) {
    V folders;
    size_t end = 0;
    for (size_t from = 0; NextFolderEnd(c.path, from, &end); from = end + 1)
      folders.push_back(std::string(c.path, end));
    EXPECT_EQ(c.folders, folders) << c.path;
  }
}

}  // namespace

// Section texts written with "|" for each line's zero byte.
std::string Zeroed(std::string s) {
  for (char& c : s) if (c == '|') c = '\0';
  return s + '\0';
}

TEST(MergeEmptyKeys, LeavesTheSectionAsOneWritePerKeyWould) {
  struct { const char* section; const char* keys; const char* merged; size_t size; } cases[] = {
      {"", "a|b\\c|", "a=|b\\c=|", 64},
      {"altkey=Quillara|", "LFViewer.exe|", "altkey=Quillara|LFViewer.exe=|", 64},
      {"x=1| Readme.TXT =old|y|", "readme.txt|y|z|", "x=1|Readme.TXT=|y=|z=|", 64},
      {"", "a|A|b|a|", "a=|b=|", 64},
      {"k=v|", "a|", "", 7},   // "k=v", "a=" and the final zeros need 8 bytes
      {"k=v|", "a|", "k=v|a=|", 8},
  };
  for (const auto& c : cases) {
    std::string section = Zeroed(c.section), keys = Zeroed(c.keys);
    std::vector<char> out(c.size, 'x');
    size_t n = MergeEmptyKeys(section.c_str(), keys.c_str(), out.data(), out.size());
    std::string expected = c.merged[0] ? Zeroed(c.merged) : std::string();
    EXPECT_EQ(expected, std::string(out.data(), n)) << c.keys;
  }
}
