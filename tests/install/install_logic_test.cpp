#include "base/newer_file.h"
#include "install/file_list_logic.h"
#include "install/install_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using V = std::vector<std::string>;
const char kDest[] = "C:\\Q\\World\\";
const char kSetup[] = "D:\\pkg\\";

// Every form of a list line: what it installs where, from where, into which
// first subfolder, and whether it compares; a null dest checks the kind only.
TEST(ParseFileListLine, SplitsDestinationSourceAndStar) {
  struct { std::string line; int kind; const char *dest, *source, *subfolder; int sameName, compare; } cases[] = {
      {"a.dll", kListLineFile, "a.dll", "a.dll", "", 1, 1}, {";a.dll", kListLineComment},
      {"x\\y\\c.dat,src\\c.dat", kListLineFile, "x\\y\\c.dat", "src\\c.dat", "x\\", 0, 1},
      {"r.txt*", kListLineFile, "r.txt", "r.txt", "", 1, 0}, {"c*,d", kListLineFile, "c", "d", "", 0, 0},
      {"v.exe, \tLFCtrl.exe\ttrailing words", kListLineFile, "v.exe", "LFCtrl.exe", "", 0, 1},
      {"m.txt,n,o.txt", kListLineFile, "m.txt", "n,o.txt", "", 0, 1}, {"e.txt,", kListLineFile, "e.txt", "", "", 0, 1},
      {"a*b", kListLineFile, "a*b", "a*b", "", 1, 1}, {"a;b", kListLineFile, "a;b", "a;b", "", 1, 1},  // kept inside
      // A folder of 11 characters leaves 248 for the destination part, a
      // setup folder of 7 leaves 252 for the source; only those parts count.
      {std::string(248, 'd') + "*", kListLineFile}, {std::string(249, 'd'), kListLineTooLong},
      {"x," + std::string(252, 's'), kListLineFile}, {"x," + std::string(253, 's'), kListLineTooLong},
      {std::string(200, 'd') + "," + std::string(200, 's'), kListLineFile}};
  for (const auto& c : cases) {
    FileListLine out;
    ASSERT_EQ(c.kind, ParseFileListLine(kDest, kSetup, c.line.c_str(), &out)) << c.line;
    if (!c.dest) continue;
    EXPECT_EQ(std::string(kDest) + c.dest, out.dest) << c.line;
    EXPECT_EQ(std::string(kSetup) + c.source, out.source) << c.line;
    EXPECT_EQ(c.subfolder[0] ? std::string(kDest) + c.subfolder : "", out.subfolder) << c.line;
    EXPECT_STREQ(c.dest, out.dest + out.destStart) << c.line;
    EXPECT_STREQ(c.source, out.source + out.sourceStart) << c.line;
    EXPECT_EQ(c.sameName, out.sameName) << c.line;
    EXPECT_EQ(c.compare, out.compare) << c.line;
  }
}

// A relative path leads out of its folder through a part of dots (as Windows trims ".. " and "..." to ".."), a
// colon (a drive or a stream), a leading backslash or slash (a root, a network path), or a part naming a device
// (any case, any extension, blanks before it, superscript port numbers); slashes separate parts.
TEST(StaysInFolder, RefusesEveryWayOut) {
  struct { const char* path; int stays; } cases[] = {
      {"a\\b.txt", 1}, {".\\a.txt", 1}, {"a..b\\..c", 1}, {"", 1}, {"..\\x", 0}, {"a\\..", 0}, {"a/../x", 0},
      {"a\\.. \\x", 0}, {"...\\x", 0}, {"C:\\x", 0}, {"C:x", 0}, {"x.txt:hidden", 0}, {"\\x", 0},
      {"\\\\server\\share\\x", 0}, {"/x", 0}, {"con", 0}, {"a\\NUL.txt", 0}, {"Aux .log", 0}, {"x/com9", 0},
      {"lpt1\\x", 0}, {"COM\xC2\xB9", 0}, {"conout$", 0}, {"prn.a.b", 0}, {"console", 1}, {"com10", 1}, {"lpt0", 1},
      {"com", 1}, {"nul_x", 1}, {"a.nul", 1}};
  for (const auto& c : cases) EXPECT_EQ(c.stays, StaysInFolder(c.path, std::strlen(c.path))) << c.path;
  // Only the given length counts: the destination part before a comma.
  EXPECT_EQ(1, StaysInFolder("a.txt,..\\b", 5));
  FileListLine out;
  EXPECT_EQ(kListLineLeavesFolder, ParseFileListLine(kDest, kSetup, "a.txt,..\\b.txt", &out));
  EXPECT_EQ(kListLineLeavesFolder, ParseFileListLine(kDest, kSetup, "..\\b.txt*", &out));
}

// Most significant half first, compared unsigned; equal is not newer.
TEST(NewerComparison, MostSignificantFirstUnsignedEqualIsNotNewer) {
  struct { uint32_t oldHi, oldLo, newHi, newLo; int newer; } cases[] = {
      {0x00020000, 0, 0x00010000, 0xFFFFFFFF, 1}, {0x00010000, 0xFFFFFFFF, 0x00020000, 0, 0},
      {0x00010000, 5, 0x00010000, 4, 1}, {0x00010000, 7, 0x00010000, 7, 0}, {0x80000000, 0, 0x7FFFFFFF, 0, 1},
      {0, 0x80000000, 0, 0x7FFFFFFF, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.newer, IsVersionNewer(c.oldHi, c.oldLo, c.newHi, c.newLo)) << std::hex << c.oldHi << "." << c.oldLo;
    EXPECT_EQ(c.newer, IsWriteTimeNewer(c.oldHi, c.oldLo, c.newHi, c.newLo)) << std::hex << c.oldHi << "." << c.oldLo;
  }
}

// The folder ends in "\World" once, any letter case kept; one trailing backslash goes first; one that cannot take
// it within 259 characters stays as it was.
TEST(AppendWorldFolderTo, EndsTheFolderInWorldOnce) {
  const std::string x253(253, 'x');
  struct { std::string dir; int result; std::string after; } cases[] = {
      {"C:\\Program Files\\LUMENFIELD\\", 1, "C:\\Program Files\\LUMENFIELD\\World"},
      {"C:\\Apps\\WORLD", 1, "C:\\Apps\\WORLD"}, {"C:\\Apps\\World\\", 1, "C:\\Apps\\World"},
      {"C:\\Apps\\MyWorld", 1, "C:\\Apps\\MyWorld\\World"}, {"C:\\\\", 1, "C:\\\\World"},
      {x253, 1, x253 + "\\World"}, {x253 + "x", 0, x253 + "x"}};
  for (const auto& c : cases) {
    char dir[260];
    std::strcpy(dir, c.dir.c_str());
    EXPECT_EQ(c.result, AppendWorldFolderTo(dir, sizeof(dir))) << c.dir;
    EXPECT_EQ(c.after, dir) << c.dir;
  }
}

// "\World" itself is six characters: a folder needs more than that to end in it.
TEST(EndsInWorldFolder, NeedsMoreThanSixCharacters) {
  struct { const char* dir; int ends; } cases[] = {{"x\\wOrLd", 1}, {"\\World", 0}, {"C:\\World\\", 0}, {"C:World", 0}};
  for (const auto& c : cases) EXPECT_EQ(c.ends, EndsInWorldFolder(c.dir)) << c.dir;
}

}  // namespace
