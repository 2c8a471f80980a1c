#include "registry/component_list.h"

#include "app/text_util.h"

#include <gtest/gtest.h>

#include <string>

namespace {

enum Op { kContains, kAppend, kRemove };

// One table for the three list operations: the list, the key, the result and
// what out holds afterwards ("X" where the operation must leave it untouched).
TEST(ComponentList, MatchesWholeEntriesFoldedAndEditsOnlyWhatFits) {
  const std::string k250(250, 'k');
  struct {
    Op op;
    std::string list;
    const char* key;
    int result;
    std::string out;
    size_t size = 260;
  } cases[] = {
      {kContains, "", "LFViewer", 0, "X"},
      {kContains, "LFVIEWER", "lfviewer", 1, "X"},
      {kContains, ";;LCHome;;LFViewer;", "LFViewer", 1, "X"},
      {kContains, "LFViewer2;XLFViewer;LFView", "LFViewer", 0, "X"},  // no partial entries
      {kContains, "LFViewer", "LFView", 0, "X"},
      {kContains, ";;;", "", 0, "X"},
      {kAppend, "", "LFViewer", 1, "LFViewer"},
      {kAppend, "Key1;Key2", "LFViewer", 1, "Key1;Key2;LFViewer"},
      {kAppend, "LCHome;lfviewer;LCPro", "LFViewer", 0, "X"},
      {kAppend, "LCHome;", "LFViewer", 1, "LCHome;;LFViewer"},  // the old list is kept whole
      {kAppend, k250, "LFViewer", 1, k250 + ";LFViewer"},         // 259 characters
      {kAppend, k250, "LFViewer2", -1, "X"},
      {kRemove, "LFViewer;LCHome", "lfviewer", 1, "LCHome"},
      {kRemove, "LCHome;LFViewer;LCPro", "LFVIEWER", 1, "LCHome;LCPro"},
      {kRemove, "LFViewer;LCHome;lfviewer", "LFViewer", 1, "LCHome"},
      {kRemove, ";;LCHome;;;LFViewer;", "LFViewer", 1, "LCHome"},
      {kRemove, ";LCHome;;LCPro;", "LFViewer", 0, "LCHome;LCPro"},
      {kRemove, "LFViewer2;XLFViewer", "LFViewer", 0, "LFViewer2;XLFViewer"},
      {kRemove, "LFViewer;LCHome;LCPro", "LFViewer", -1, "X", 12},
      {kRemove, "LFViewer;LCHome", "LFViewer", 1, "LCHome", 7},
      {kRemove, "LFViewer;LCHome", "LFViewer", -1, "X", 6},
  };
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

}  // namespace
