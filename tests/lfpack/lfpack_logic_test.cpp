#include "lfpack/lfpack_logic.h"
#include "lfpack/package_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const char kWorld[] = "C:\\Program Files\\LUMENFIELD\\World\\";  // 34 characters: 225 are left

// What the checker makes of each kind of list line at the default destination.
TEST(CheckListLine, VerdictPerSyntax) {
  const std::string n225(225, 'n');
  const struct { std::string line; ListLineVerdict verdict; } cases[] = {
      {"LFViewer.exe", kLineOk}, {"help\\q.txt,  q.txt trailing words", kLineOk}, {"readme.txt*", kLineOk},
      {"; comment", kLineComment}, {",readme.txt", kLineNoDest}, {"*,a.txt", kLineNoDest}, {"*", kLineNoDest},
      {"sub\\,a.txt", kLineFolderDest}, {"sub\\", kLineFolderDest}, {"a.txt,", kLineNoSource},
      {"a.txt,   ", kLineNoSource}, {"a?.txt", kLineBadCharacter}, {"a.txt,C:\\x.txt", kLineLeavesFolder},
      {"a.txt**", kLineBadCharacter}, {"a\t.txt,b.txt", kLineBadCharacter}, {n225, kLineOk}, {n225 + "*", kLineOk},
      {n225 + "n", kLineDestTooLong}, {n225 + "n,a.txt", kLineDestTooLong},
      {"a.txt," + std::string(260, 's'), kLineSourceTooLong}};
  FileListLine out;
  for (const auto& c : cases) EXPECT_EQ(c.verdict, CheckListLine(kWorld, c.line.c_str(), &out)) << c.line;
}

// Each line that is not UTF-8 (Latin-1 bytes, a cut sequence) is one warning naming its line; UTF-8 lines, CR LF
// line ends and a last line without its line feed pass.
TEST(CheckUtf8Lines, WarnsPerLineThatIsNotUtf8) {
  PackageReport report;
  CheckUtf8Lines("[Log]\r\nName=Caf\xC3\xA9\r\n; Caf\xE9\r\nok\n\xE2\x82", "LFSetup.inf", "effect", &report);
  ASSERT_EQ(2u, report.findings.size());
  EXPECT_EQ(2, report.warnings);
  EXPECT_EQ("LFSetup.inf:3: warning: not UTF-8: the line is in another code page: effect. Fix: save the file as UTF-8.",
            FormatFinding(report.findings[0]));
  EXPECT_EQ(5, report.findings[1].line);
}

// A key is replaced in place (matched folded), added after the section's last non-blank line, or added with a new
// section at the end; the text's own line break is used.
TEST(SetProfileValue, ReplacesAddsKeyOrSection) {
  EXPECT_EQ("[R]\r\nsizeLF=5\r\n; c\r\n[S]\r\n",
            SetProfileValue("[R]\r\nSIZELF = 1\r\n; c\r\n[S]\r\n", "r", "sizeLF", "5"));
  EXPECT_EQ("[R]\na=1\nb=2\n\n[S]\n", SetProfileValue("[R]\na=1\n\n[S]\n", "R", "b", "2"));
  EXPECT_EQ("[L]\nx\n[R]\nb=2\n", SetProfileValue("[L]\nx", "R", "b", "2"));
}

// A program ("MZ") with a VS_VERSION_INFO block that holds the whole fixed-info signature, then the file
// version (2.1.0.35 here), which is read out.
TEST(HasVersionResource, NeedsProgramAndFixedInfo) {
  std::string key("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0\0\0", 32);
  std::string fixed = std::string("\xBD\x04\xEF\xFE\0\0\1\0\1\0\2\0\x23\0\0\0", 16);
  std::string block = std::string("\x5c\x03\x34\x00\x00\x00", 6) + key + std::string(2, '\0') + fixed;
  uint32_t ms = 0, ls = 0;
  EXPECT_TRUE(HasVersionResource("MZ" + std::string(100, 'x') + block, &ms, &ls));
  EXPECT_EQ(0x00020001u, ms);
  EXPECT_EQ(0x00000023u, ls);
  EXPECT_FALSE(HasVersionResource("MZ" + std::string(100, 'x') + block.substr(0, 40) + "\xBD\x04\xEF"));
  EXPECT_FALSE(HasVersionResource("ZM" + std::string(100, 'x') + block));
}

// A script names files as Windows finds them, whatever the letter case on the disk: "Help\\README.TXT" is
// help/ReadMe.txt, on a file system that tells case apart too. (Made in the test's own folder, then removed.)
TEST(PackagePath, FindsFilesWithoutRegardToLetterCase) {
  const std::filesystem::path folder = "lfpack_case_package";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "help");
  ASSERT_TRUE(WriteWholeFile(folder / "help" / "ReadMe.txt", "12345"));
  SourceFacts facts = LookUp(folder, "Help\\README.TXT");
  std::filesystem::remove_all(folder);
  EXPECT_TRUE(facts.found);
  EXPECT_EQ(5u, facts.size);
}

}  // namespace
