#include "registry/component_list.h"
#include "registry/value_list.h"

#include "base/text_util.h"

#include <gtest/gtest.h>

#include <string>

namespace {

enum Op { kContains, kAppend, kRemove };

// One table for the three list operations: the list, the key, the result and
// what out holds afterwards ("X" where the operation must leave it untouched).
// Whole entries match, folded on both sides; empty entries never count.
TEST(ComponentList, MatchesWholeEntriesFoldedAndEditsOnlyWhatFits) {
  const std::string k250(250, 'k');
  struct { Op op; std::string list; const char* key; int result; std::string out; size_t size = 260; } cases[] = {
      {kContains, "", "LFViewer", 0, "X"}, {kContains, "LFVIEWER", "lfviewer", 1, "X"},
      {kContains, ";;LCHome;;LFViewer;", "LFViewer", 1, "X"}, {kContains, "LFViewer", "LFView", 0, "X"},
      {kContains, "LFViewer2;XLFViewer;LFView", "LFViewer", 0, "X"}, {kContains, ";;;", "", 0, "X"},
      {kAppend, "", "LFViewer", 1, "LFViewer"}, {kAppend, "Key1;Key2", "LFViewer", 1, "Key1;Key2;LFViewer"},
      {kAppend, "LCHome;lfviewer;LCPro", "LFViewer", 0, "X"},
      {kAppend, "LCHome;", "LFViewer", 1, "LCHome;;LFViewer"},  // the old list is kept whole
      {kAppend, k250, "LFViewer", 1, k250 + ";LFViewer"}, {kAppend, k250, "LFViewer2", -1, "X"},  // 259 fit
      {kRemove, "LCHome;LFViewer;LCPro", "LFVIEWER", 1, "LCHome;LCPro"},
      {kRemove, "LFViewer;LCHome;lfviewer", "LFViewer", 1, "LCHome"},
      {kRemove, ";LCHome;;LCPro;", "LFViewer", 0, "LCHome;LCPro"},
      {kRemove, "LFViewer;LCHome", "LFViewer", 1, "LCHome", 7}, {kRemove, "LFViewer;LCHome", "LFViewer", -1, "X", 6}};
  for (const auto& c : cases) {
    char out[300] = "X";
    int result = c.op == kContains ? ComponentListContains(c.list.c_str(), c.key)
                 : c.op == kAppend ? AppendToComponentList(c.list.c_str(), c.key, out, c.size)
                                   : RemoveComponentListEntry(c.list.c_str(), c.key, out, c.size);
    EXPECT_EQ(c.result, result) << c.op << " " << c.list << " / " << c.key;
    EXPECT_EQ(c.out, out) << c.op << " " << c.list << " / " << c.key;
    if (c.op != kRemove || c.result < 0) continue;
    // The uninstaller edits the list it read in place.
    ASSERT_EQ(1, CopyBounded(c.list.c_str(), out, sizeof(out)));
    EXPECT_EQ(c.result, RemoveComponentListEntry(out, c.key, out, c.size));
    EXPECT_EQ(c.out, out);
  }
}

std::string N(char c, int n) { return std::string(n, c); }
const std::string kFull = N('a', 1000);

// Every edit of the list: the start, the edit, its result and the list after.
// An add brings one ";" unless the entry has its own and refuses a duplicate
// (folded) unless told not to look; a replace changes the first entry of the
// prefix, case-sensitive; nothing ever passes 1023 characters.
TEST(RegList, AddsWithOneSeparatorReplacesAfterThePrefixAndNeverPasses1023) {
  enum Op { kAdd, kAddAny, kReplace };
  struct { std::string list; Op op; std::string entry; int result; std::string after; } cases[] = {
      {"", kAdd, "0x0100=2.1.0.35", 0, "0x0100=2.1.0.35"}, {"", kAdd, ";0x0100=2.0", 0, ";0x0100=2.0"},
      {"0x0200=1.0.0.4", kAdd, "0x0100=2.1", 0, "0x0200=1.0.0.4;0x0100=2.1"},
      {"0x0200=1.0;;ABC;", kAdd, ";Abc", -1, "0x0200=1.0;;ABC;"}, {"ABC", kAddAny, "ABC", 0, "ABC;ABC"},
      {kFull, kAdd, N('b', 22), 0, kFull + ";" + N('b', 22)}, {kFull, kAdd, N('b', 23), -1, kFull},  // 1023 fit
      {kFull, kAdd, ";" + N('b', 22), 0, kFull + ";" + N('b', 22)},
      {"0x0200=1.0;0x0100=1.5;0x0400=3", kReplace, "2.0", 0, "0x0200=1.0;0x0100=2.0;0x0400=3"},
      {"0x0100=;0x0200=1", kReplace, "3.0", 0, "0x0100=3.0;0x0200=1"},
      {"0x0100=1;0x0100=2", kReplace, "", 0, "0x0100=;0x0100=2"}, {"0X0100=1.0", kReplace, "2.0", 0, "0X0100=1.0"},
      {"0x0100=1.0;" + kFull, kReplace, N('9', 16), 0, "0x0100=1.0;" + kFull},  // 1024
      {"0x0100=1.0;" + kFull, kReplace, N('9', 15), 0, "0x0100=" + N('9', 15) + ";" + kFull}};
  for (const auto& c : cases) {
    RegListInit("RegVerStr");
    ASSERT_EQ(0, RegListSetText(c.list.c_str()));
    if (c.op == kReplace)
      RegListReplace("0x0100=", c.entry.c_str());
    else
      EXPECT_EQ(c.result, RegListAdd(c.op == kAddAny, c.entry.c_str())) << c.list << "+" << c.entry;
    EXPECT_EQ(c.after, RegListText()) << c.list << " / " << c.entry;
    if (c.op != kReplace || c.after.size() > 1021) continue;
    // The length follows the replaced text: an append goes right after it.
    EXPECT_EQ(0, RegListAdd(1, "z"));
    EXPECT_EQ(c.after + ";z", RegListText());
  }
}

}  // namespace
