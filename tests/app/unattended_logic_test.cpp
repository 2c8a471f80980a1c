#include "app/unattended_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each case gives the raw command line and the argument vector the runtime
// makes of it; the switches come out, the other arguments stay in order.
TEST(TakeUnattendedSwitches, TakesTheSwitchesAndKeepsTheOtherArgumentsInOrder) {
  struct {
    const char* raw;
    std::vector<std::string> args;
    int setup, silent, bad;
    const char* log;
    const char* dest;
    std::vector<std::string> left;
  } cases[] = {
      {"S", {"S"}, 1, 0, 0, "", "", {"S"}},
      {"S /s \\f", {"S", "/s", "\\f"}, 1, 1, 0, "", "", {"S", "\\f"}},
      {"S x /S /log=C:\\a.log y", {"S", "x", "/S", "/log=C:\\a.log", "y"}, 1, 1, 0, "C:\\a.log", "", {"S", "x", "y"}},
      {"S /S /D=C:\\My  Apps\\Q B  ", {"S", "/S", "/D=C:\\My", "Apps\\Q", "B"}, 1, 1, 0, "", "C:\\My  Apps\\Q B", {"S"}},
      {"S \"/D=C:\\A B\"", {"S", "/D=C:\\A B"}, 1, 0, 0, "", "C:\\A B", {"S"}},
      {"S /D=C:\\x/D=y /D=C:\\z", {"S", "/D=C:\\x/D=y", "/D=C:\\z"}, 1, 0, 0, "", "C:\\z", {"S"}},
      {"S /D=", {"S", "/D="}, 1, 0, 1, "", "", {"S"}},
      {"S /LOG= /S", {"S", "/LOG=", "/S"}, 1, 1, 1, "", "", {"S"}},
      {"S /SS /Sx", {"S", "/SS", "/Sx"}, 1, 0, 0, "", "", {"S", "/SS", "/Sx"}},
      {"U /D=C:\\x \\s", {"U", "/D=C:\\x", "\\s"}, 0, 0, 0, "", "", {"U", "/D=C:\\x", "\\s"}},
      {"U 12 C:\\w /LOG=C:\\u.log", {"U", "12", "C:\\w", "/LOG=C:\\u.log"}, 0, 0, 0, "C:\\u.log", "", {"U", "12", "C:\\w"}},
  };
  for (auto& c : cases) {
    std::vector<char*> argv;
    for (auto& a : c.args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    UnattendedSwitches s;
    int argc = TakeUnattendedSwitches(static_cast<int>(c.args.size()), argv.data(), c.raw, c.setup, &s);
    std::vector<std::string> left(argv.begin(), argv.begin() + argc);
    EXPECT_EQ(c.silent, s.silent) << c.raw;
    EXPECT_EQ(c.bad, s.bad) << c.raw;
    EXPECT_STREQ(c.log, s.logPath) << c.raw;
    EXPECT_STREQ(c.dest, s.destination) << c.raw;
    EXPECT_EQ(c.left, left) << c.raw;
  }
}

TEST(IsFullPath, DriveOrServerShare) {
  struct { const char* path; int full; } cases[] = {
      {"C:\\Apps", 1}, {"z:\\", 1}, {"\\\\server\\share", 1},
      {"C:Apps", 0}, {"Apps", 0}, {"\\Apps", 0}, {"\\\\", 0}, {"\\\\\\x", 0}, {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.full, IsFullPath(c.path)) << c.path;
}

}  // namespace
