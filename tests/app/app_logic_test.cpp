#include "app/prereq_logic.h"
#include "app/run_mode_logic.h"
#include "app/unattended_logic.h"
#include "app/window_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using V = std::vector<std::string>;

// An argument vector over the strings, ending in a null pointer as the runtime's does.
std::vector<char*> Argv(V& args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  return argv;
}

// The file name after the last backslash, in any case, and nothing around it.
TEST(IsUninstallerPath, ByFileNameInAnyCase) {
  struct { const char* path; int uninstall; } cases[] = {
      {"C:\\WINDOWS\\lfuninst.EXE", 1}, {"C:\\pkg\\LFSetup.exe", 0}, {"C:\\pkg\\LFUninst.exe.bak", 0},
      {"C:\\pkg\\xLFUninst.exe", 0}, {"C:\\LFUninst.exe\\LFSetup.exe", 0}, {"LFUninst.exe", 0}, {"", 0}};
  for (const auto& c : cases) EXPECT_EQ(c.uninstall, IsUninstallerPath(c.path)) << c.path;
}

// Only a last argument after the program name counts, folded, whole.
TEST(LastArgumentIs, OnlyTheLastArgumentCounts) {
  struct { V args; int result; } cases[] = {
      {{"\\f"}, 0}, {{"S", "\\f"}, 1}, {{"S", "\\F"}, 1}, {{"S", "x", "\\F"}, 1},
      {{"S", "\\f", "x"}, 0}, {{"S", "/f"}, 0}, {{"S", "\\ff"}, 0}};
  for (auto& c : cases)
    EXPECT_EQ(c.result, LastArgumentIs(static_cast<int>(c.args.size()), Argv(c.args).data(), "\\f")) << c.args.back();
}

// argc counts the program name: no argument asks, one asks unless quiet (then runs in place), two finish a relocation.
TEST(ChooseUninstallStart, FromArgumentCountAndQuietFlag) {
  struct { int argc, quiet; UninstallStart start; } cases[] = {
      {1, 0, kAskAndRelocate}, {1, 1, kAskAndRelocate}, {2, 0, kAskAndRelocate}, {2, 1, kRunInPlace},
      {3, 0, kFinishRelocation}, {3, 1, kFinishRelocation}};
  for (const auto& c : cases) EXPECT_EQ(c.start, ChooseUninstallStart(c.argc, c.quiet)) << c.argc << " " << c.quiet;
}

TEST(ParseHandleValue, DecimalWithSignAndLeadingBlanks) {
  struct { const char* text; long value; } cases[] = {
      {"  1234", 1234}, {"+12", 12}, {"-12", -12}, {"12abc", 12}, {"", 0}, {"\t 7 8", 7},
      {"99999999999999999999", 2147483647L}, {"-99999999999999999999", -2147483647L - 1}};
  for (const auto& c : cases) EXPECT_EQ(c.value, ParseHandleValue(c.text)) << c.text;
}

// The exact size fits; one byte less leaves an empty text, never a cut command; no room at all writes nothing.
TEST(BuildRelocationCommand, QuotesBothPathsAndRefusesWhatDoesNotFit) {
  const char copy[] = "C:\\Temp Dir\\LFUninst.exe", running[] = "C:\\WINDOWS\\LFUninst.exe";
  const char expected[] = "\"C:\\Temp Dir\\LFUninst.exe\" 1234 \"C:\\WINDOWS\\LFUninst.exe\"";
  char out[260] = "kept";
  EXPECT_EQ(0, BuildRelocationCommand(out, 0, copy, 1234, running));
  EXPECT_STREQ("kept", out);
  ASSERT_EQ(1, BuildRelocationCommand(out, sizeof(expected), copy, 1234, running));
  EXPECT_STREQ(expected, out);
  EXPECT_EQ(0, BuildRelocationCommand(out, sizeof(expected) - 1, copy, 1234, running));
  EXPECT_STREQ("", out);
}

// Each case gives the raw command line and the argument vector the runtime
// makes of it; the switches come out, the other arguments stay in order. The
// folder of "/D=" comes from the raw line: the last one that starts a word,
// blanks kept, a closing quote and trailing blanks dropped; 259 characters fit.
TEST(TakeUnattendedSwitches, TakesTheSwitchesAndKeepsTheOtherArgumentsInOrder) {
  const std::string p259(259, 'p');
  struct { std::string raw; V args; int setup, silent, bad; std::string log, dest; V left; } cases[] = {
      {"S x /s /log=C:\\l \\f", {"S", "x", "/s", "/log=C:\\l", "\\f"}, 1, 1, 0, "C:\\l", "", {"S", "x", "\\f"}},
      {"S /S /D=C:\\My  A\\Q B  ", {"S", "/S", "/D=C:\\My", "A\\Q", "B"}, 1, 1, 0, "", "C:\\My  A\\Q B", {"S"}},
      {"S /D=C:\\x/D=y \"/D=C:\\A B\"", {"S", "/D=C:\\x/D=y", "/D=C:\\A B"}, 1, 0, 0, "", "C:\\A B", {"S"}},
      {"S /D=" + p259, {"S", "/D=" + p259}, 1, 0, 0, "", p259, {"S"}},
      {"S /D=" + p259 + "p", {"S", "/D=" + p259 + "p"}, 1, 0, 1, "", "", {"S"}},
      {"S /D=", {"S", "/D="}, 1, 0, 1, "", "", {"S"}},
      {"S /LOG= /S", {"S", "/LOG=", "/S"}, 1, 1, 1, "", "", {"S"}},
      {"S /LOG=" + p259 + "p", {"S", "/LOG=" + p259 + "p"}, 1, 0, 1, "", "", {"S"}},
      {"S /SS /Sx", {"S", "/SS", "/Sx"}, 1, 0, 0, "", "", {"S", "/SS", "/Sx"}},
      {"U /D=C:\\x 12 /LOG=C:\\u.log \\s", {"U", "/D=C:\\x", "12", "/LOG=C:\\u.log", "\\s"}, 0, 0, 0, "C:\\u.log", "",
       {"U", "/D=C:\\x", "12", "\\s"}}};  // the uninstaller takes no folder
  for (auto& c : cases) {
    std::vector<char*> argv = Argv(c.args);
    UnattendedSwitches s;
    int argc = TakeUnattendedSwitches(static_cast<int>(c.args.size()), argv.data(), c.raw.c_str(), c.setup, &s);
    EXPECT_EQ(c.left, V(argv.begin(), argv.begin() + argc)) << c.raw;
    EXPECT_EQ(c.silent, s.silent) << c.raw;
    EXPECT_EQ(c.bad, s.bad) << c.raw;
    EXPECT_EQ(c.log, s.logPath) << c.raw;
    EXPECT_EQ(c.dest, s.destination) << c.raw;
  }
}

// A drive letter with ":\", or "\\" and a server name after it.
TEST(IsFullPath, DriveOrServerShare) {
  struct { const char* path; int full; } cases[] = {
      {"C:\\Apps", 1}, {"z:\\", 1}, {"\\\\server\\share", 1},
      {"C:Apps", 0}, {"Apps", 0}, {"\\Apps", 0}, {"\\\\", 0}, {"\\\\\\x", 0}, {"", 0}};
  for (const auto& c : cases) EXPECT_EQ(c.full, IsFullPath(c.path)) << c.path;
}

// Each boundary of the table: below 4.70, 4.71 and 4.72, the rest of 4.x, from 5.0 on.
TEST(IeGenerationForVersion, FollowsTheGenerationTable) {
  struct { uint32_t major, minor; int generation; } cases[] = {
      {3, 65535, 0}, {4, 69, 0}, {4, 70, 3}, {4, 71, 4}, {4, 72, 4}, {4, 73, 3}, {4, 65535, 3}, {5, 0, 5}};
  for (const auto& c : cases) EXPECT_EQ(c.generation, IeGenerationForVersion((c.major << 16) | c.minor)) << c.minor;
}

// The own uninstaller (exact text) gets "\s", any other command "-a"; a switch that would be cut is refused.
TEST(AppendUninstallSwitch, ChoosesTheSwitchAndNeverCuts) {
  const std::string own = "C:\\WINDOWS\\LFUninst.exe", other = "C:\\WINDOWS\\lfuninst.exe", full(1020, 'c');
  struct { std::string command; int appended; std::string after; } cases[] = {
      {own, 1, own + " \\s"}, {other, 1, other + " -a"}, {"", 0, ""},
      {full, 1, full + " -a"}, {full + "c", 0, full + "c"}};  // 1024 bytes exactly, and one more
  for (const auto& c : cases) {
    char buffer[1024];
    buffer[c.command.copy(buffer, sizeof(buffer) - 1)] = '\0';
    EXPECT_EQ(c.appended, AppendUninstallSwitch(buffer, sizeof(buffer), own.c_str())) << c.command.size();
    EXPECT_EQ(c.after, buffer);
  }
}

// A positive difference is halved and moved up 20; zero and negative ones stay as they are.
TEST(WindowOrigin, HalvesPositiveDifferencesOnly) {
  struct { int extent, size, origin; } cases[] = {
      {1024, 440, 272}, {441, 440, -20}, {442, 440, -19}, {440, 440, 0}, {300, 440, -140}, {0, 270, -270}};
  for (const auto& c : cases) EXPECT_EQ(c.origin, WindowOrigin(c.extent, c.size)) << c.extent << " - " << c.size;
}

// The creation request passes unchanged; every later one becomes no move, no size, no Z order (0x020B).
TEST(FreezePosFlags, ArmsOnCreationThenReplacesEveryRequest) {
  int frozen = 0;
  EXPECT_EQ(0x0040u, FreezePosFlags(&frozen, 0x0040u));
  EXPECT_EQ(0x020Bu, FreezePosFlags(&frozen, 0x0040u));
}

}  // namespace
