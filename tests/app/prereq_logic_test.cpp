#include "app/prereq_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(IeGenerationForVersion, FollowsTheGenerationTable) {
  struct { uint32_t major, minor; int generation; } cases[] = {
      {0, 0, 0}, {3, 65535, 0}, {4, 69, 0}, {4, 70, 3}, {4, 71, 4}, {4, 72, 4},
      {4, 73, 3}, {4, 65535, 3}, {5, 0, 5}, {65535, 65535, 5}};
  for (const auto& c : cases)
    EXPECT_EQ(c.generation, IeGenerationForVersion((c.major << 16) | c.minor)) << c.major << "." << c.minor;
}

TEST(AppendUninstallSwitch, ChoosesTheSwitchAndNeverCuts) {
  const std::string own = "C:\\WINDOWS\\LFUninst.exe", full(1020, 'c');
  struct { std::string command; int appended; std::string after; } cases[] = {
      {own, 1, own + " \\s"},
      {"C:\\WINDOWS\\lfuninst.exe", 1, "C:\\WINDOWS\\lfuninst.exe -a"},  // another case: not this program
      {"", 0, ""},
      {full, 1, full + " -a"},          // fills the 1024 bytes exactly
      {full + "c", 0, full + "c"}};     // would be cut: refused
  for (const auto& c : cases) {
    char buffer[1024];
    buffer[c.command.copy(buffer, sizeof(buffer) - 1)] = '\0';
    EXPECT_EQ(c.appended, AppendUninstallSwitch(buffer, sizeof(buffer), own.c_str())) << c.command.size();
    EXPECT_EQ(c.after, buffer);
  }
}

}  // namespace
