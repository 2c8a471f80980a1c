#include "registry/value_list.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string N(char c, int n) { return std::string(n, c); }
const std::string kFull = N('a', 1000);

// Every edit of the list: the start, the edit, its result and the list after.
TEST(RegList, AddsWithOneSeparatorReplacesAfterThePrefixAndNeverPasses1023) {
  enum Op { kAdd, kAddAny, kReplace };
  struct {
    std::string list;
    Op op;
    std::string entry;
    int result;
    std::string after;
  } cases[] = {
      {"", kAdd, "0x0100=2.1.0.35", 0, "0x0100=2.1.0.35"},
      {"0x0200=1.0.0.4", kAdd, "0x0100=2.1", 0, "0x0200=1.0.0.4;0x0100=2.1"},
      {"0x0200=1.0", kAdd, ";0x0100=2.0", 0, "0x0200=1.0;0x0100=2.0"},  // brings its own ";"
      {"", kAdd, ";0x0100=2.0", 0, ";0x0100=2.0"},
      {"0x0200=1.0;;ABC;", kAdd, ";Abc", -1, "0x0200=1.0;;ABC;"},  // duplicate, folded
      {"ABCD", kAdd, "ABC", 0, "ABCD;ABC"},                         // whole entries only
      {"ABC", kAddAny, "ABC", 0, "ABC;ABC"},
      {kFull, kAdd, N('b', 22), 0, kFull + ";" + N('b', 22)},  // 1023: fits
      {kFull, kAdd, N('b', 23), -1, kFull},
      {kFull, kAdd, ";" + N('b', 22), 0, kFull + ";" + N('b', 22)},
      {N('c', 1023), kAddAny, "d", -1, N('c', 1023)},
      {"0x0200=1.0;0x0100=1.5;0x0400=3", kReplace, "2.0", 0, "0x0200=1.0;0x0100=2.0;0x0400=3"},
      {"0x0100=;0x0200=1", kReplace, "3.0", 0, "0x0100=3.0;0x0200=1"},
      {"0x0100=1;0x0100=2", kReplace, "", 0, "0x0100=;0x0100=2"},  // the first only
      {"0X0100=1.0", kReplace, "2.0", 0, "0X0100=1.0"},             // case-sensitive
      {"0x0100=1.0;" + kFull, kReplace, N('9', 16), 0, "0x0100=1.0;" + kFull},  // 1024
      {"0x0100=1.0;" + kFull, kReplace, N('9', 15), 0, "0x0100=" + N('9', 15) + ";" + kFull},
  };
  for (const auto& c : cases) {
    RegListInit("RegVerStr");
    ASSERT_EQ(0, RegListSetText(c.list.c_str()));
    if (c.op == kReplace) {
      RegListReplace("0x0100=", c.entry.c_str());
    } else {
      EXPECT_EQ(c.result, RegListAdd(c.op == kAddAny, c.entry.c_str())) << c.list << "+" << c.entry;
    }
    EXPECT_EQ(c.after, RegListText()) << c.list << " / " << c.entry;
    if (c.op != kReplace || c.after.size() > 1021) continue;
    // The length follows the replaced text: an append goes right after it.
    EXPECT_EQ(0, RegListAdd(1, "z"));
    EXPECT_EQ(c.after + ";z", RegListText());
  }
}

TEST(RegList, InitEmptiesAndCutsTheNameAndAnOversizedReadLeavesItEmpty) {
  RegListSetText("0x0200=1.0");
  EXPECT_EQ(0, RegListInit(N('n', 300).c_str()));
  EXPECT_STREQ("", RegListText());
  EXPECT_EQ(N('n', 259), RegListValueName());
  RegListSetText("0x0200=1.0");
  EXPECT_EQ(-1, RegListSetText(N('a', 1024).c_str()));
  EXPECT_STREQ("", RegListText());
}

TEST(FormatVersionText, PrintsTheFourHalvesAsUnsignedDecimals) {
  struct {
    unsigned long most, least;
    size_t size;
    int result;
    const char* text;
  } cases[] = {
      {0x00020001ul, 0x00000023ul, 32, 1, "2.1.0.35"},
      {0xFFFFFFFFul, 0x8000FFFEul, 32, 1, "65535.65535.32768.65534"},
      {0x00020001ul, 0x00000023ul, 9, 1, "2.1.0.35"},
      {0x00020001ul, 0x00000023ul, 8, 0, ""},
  };
  for (const auto& c : cases) {
    char out[32];
    EXPECT_EQ(c.result, FormatVersionText(c.most, c.least, out, c.size));
    EXPECT_STREQ(c.text, out);
  }
}

}  // namespace
