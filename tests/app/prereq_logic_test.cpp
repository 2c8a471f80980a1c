#include "app/prereq_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(IeGenerationForVersion, FollowsTheGenerationTable) {
  struct { uint32_t major, minor; int generation; } cases[] = {
      {0, 0, 0},     {4, 69, 0}, {3, 65535, 0}, {4, 70, 3}, {4, 71, 4}, {4, 72, 4},
      {4, 73, 3},    {4, 65535, 3}, {5, 0, 5},  {6, 0, 5},  {65535, 65535, 5},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.generation, IeGenerationForVersion((c.major << 16) | c.minor)) << c.major << "." << c.minor;
}

TEST(AppendUninstallSwitch, ChoosesTheSwitchAndNeverCuts) {
  const char own[] = "C:\\WINDOWS\\LFUninst.exe";
  struct { std::string command; size_t size; int appended; std::string after; } cases[] = {
      {own, 1024, 1, std::string(own) + " \\s"},
      {"C:\\WINDOWS\\lfuninst.exe", 1024, 1, "C:\\WINDOWS\\lfuninst.exe -a"},  // case differs: not this program
      {"C:\\WINDOWS\\LFRemove.exe", 1024, 1, "C:\\WINDOWS\\LFRemove.exe -a"},
      {"", 1024, 0, ""},
      {std::string(1020, 'c'), 1024, 1, std::string(1020, 'c') + " -a"},  // fills the buffer exactly
      {std::string(1021, 'c'), 1024, 0, std::string(1021, 'c')},          // would be cut: refused
  };
  for (const auto& c : cases) {
    char buffer[1024];
    ASSERT_LT(c.command.size(), sizeof(buffer));
    c.command.copy(buffer, c.command.size());
    buffer[c.command.size()] = '\0';
    EXPECT_EQ(c.appended, AppendUninstallSwitch(buffer, c.size, own)) << c.command.size();
    EXPECT_EQ(c.after, buffer);
  }
}

}  // namespace
