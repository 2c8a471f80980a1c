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
  // "/WAIT" is the uninstaller's: taken there in any case, an ordinary argument of the setup.
  for (int setup : {0, 1}) {
    V args = {"P", "/Wait", "\\s"};
    std::vector<char*> argv = Argv(args);
    UnattendedSwitches s;
    EXPECT_EQ(setup ? 3 : 2, TakeUnattendedSwitches(3, argv.data(), "P /Wait \\s", setup, &s));
    EXPECT_EQ(!setup, s.wait);
  }
}

// Each boundary of the table: below 4.70, 4.71 and 4.72, the rest of 4.x, from 5.0 on.
TEST(IeGenerationForVersion, FollowsTheGenerationTable) {
  struct { uint32_t major, minor; int generation; } cases[] = {
      {3, 65535, 0}, {4, 69, 0}, {4, 70, 3}, {4, 71, 4}, {4, 72, 4}, {4, 73, 3}, {4, 65535, 3}, {5, 0, 5}};
  for (const auto& c : cases) EXPECT_EQ(c.generation, IeGenerationForVersion((c.major << 16) | c.minor)) << c.minor;
}

// A positive difference is halved and moved up 20; zero and negative ones stay as they are.
TEST(WindowOrigin, HalvesPositiveDifferencesOnly) {
  struct { int extent, size, origin; } cases[] = {
      {1024, 440, 272}, {441, 440, -20}, {442, 440, -19}, {440, 440, 0}, {300, 440, -140}, {0, 270, -270}};
  for (const auto& c : cases) EXPECT_EQ(c.origin, WindowOrigin(c.extent, c.size)) << c.extent << " - " << c.size;
}

}  // namespace
