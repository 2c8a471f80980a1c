#include "app/run_mode_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(IsUninstallerPath, ByFileNameInAnyCase) {
  struct { const char* path; int uninstall; } cases[] = {
      {"C:\\WINDOWS\\LFUninst.exe", 1},
      {"C:\\WINDOWS\\lfuninst.EXE", 1},
      {"C:\\Temp Folder\\LFUNINST.EXE", 1},
      {"C:\\pkg\\LFSetup.exe", 0},
      {"C:\\pkg\\LFUninst.exe.bak", 0},
      {"C:\\pkg\\xLFUninst.exe", 0},
      {"C:\\LFUninst.exe\\LFSetup.exe", 0},
      {"LFUninst.exe", 0},  // no backslash: setup
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.uninstall, IsUninstallerPath(c.path)) << c.path;
}

// Runs LastArgumentIs over an argument vector given as strings.
int LastIs(std::vector<std::string> args, const char* sw) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  return LastArgumentIs(static_cast<int>(args.size()), argv.data(), sw);
}

TEST(LastArgumentIs, OnlyTheLastArgumentCounts) {
  struct { std::vector<std::string> args; const char* sw; int result; } cases[] = {
      {{"LFSetup.exe"}, "\\f", 0},
      {{"LFSetup.exe", "\\f"}, "\\f", 1},
      {{"LFSetup.exe", "\\F"}, "\\f", 1},
      {{"LFSetup.exe", "x", "\\F"}, "\\f", 1},
      {{"LFSetup.exe", "\\f", "x"}, "\\f", 0},
      {{"LFSetup.exe", "/f"}, "\\f", 0},
      {{"LFSetup.exe", "\\ff"}, "\\f", 0},
      {{"LFUninst.exe", "\\S"}, "\\s", 1},
      {{"LFUninst.exe", "\\s", "more"}, "\\s", 0},
      {{"LFSetup.exe", "\\s"}, "\\f", 0},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    EXPECT_EQ(c.result, LastIs(c.args, c.sw)) << joined;
  }
}

TEST(ChooseUninstallStart, FromArgumentCountAndQuietFlag) {
  // argc counts the program name.
  EXPECT_EQ(kAskAndRelocate, ChooseUninstallStart(1, 0));
  EXPECT_EQ(kAskAndRelocate, ChooseUninstallStart(2, 0));  // one argument, not "\s"
  EXPECT_EQ(kRunInPlace, ChooseUninstallStart(2, 1));
  EXPECT_EQ(kFinishRelocation, ChooseUninstallStart(3, 0));
  EXPECT_EQ(kFinishRelocation, ChooseUninstallStart(3, 1));
}

TEST(ParseHandleValue, DecimalWithSignAndLeadingBlanks) {
  struct { const char* text; long value; } cases[] = {
      {"  1234", 1234}, {"+12", 12}, {"-12", -12}, {"12abc", 12}, {"", 0}, {"\t 7 8", 7},
      {"99999999999999999999", 2147483647L}, {"-99999999999999999999", -2147483647L - 1},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value, ParseHandleValue(c.text)) << c.text;
}

TEST(BuildRelocationCommand, QuotesBothPathsAndRefusesWhatDoesNotFit) {
  char out[260];
  ASSERT_EQ(1, BuildRelocationCommand(out, sizeof(out), "C:\\Temp Dir\\LFUninst.exe", 1234,
                                      "C:\\WINDOWS\\LFUninst.exe"));
  EXPECT_STREQ("\"C:\\Temp Dir\\LFUninst.exe\" 1234 \"C:\\WINDOWS\\LFUninst.exe\"", out);

  // The longest temporary path that still fits, and one character more.
  std::string running = "C:\\WINDOWS\\LFUninst.exe";
  size_t fixed = 2 + 1 + 4 + 1 + 2 + running.size();  // quotes, blanks, "1234"
  std::string copy(259 - fixed, 'T');
  EXPECT_EQ(1, BuildRelocationCommand(out, sizeof(out), copy.c_str(), 1234, running.c_str()));
  EXPECT_EQ(259u, std::string(out).size());
  copy += 'T';
  EXPECT_EQ(0, BuildRelocationCommand(out, sizeof(out), copy.c_str(), 1234, running.c_str()));
  EXPECT_STREQ("", out);
}

}  // namespace
