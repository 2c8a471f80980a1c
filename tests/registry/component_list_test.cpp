#include "registry/component_list.h"

#include "app/text_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace {

TEST(ComponentListContains, MatchesWholeEntriesInAnyCase) {
  struct {
    const char* list;
    const char* key;
    int contains;
  } cases[] = {
      {"", "LFViewer", 0},
      {"LFViewer", "LFViewer", 1},
      {"LFVIEWER", "lfviewer", 1},
      {"LCHome;LFViewer", "lfViewer", 1},
      {";;LCHome;;LFViewer;", "LFViewer", 1},
      {"LFViewer2;XLFViewer", "LFViewer", 0},   // no partial entries
      {"LFView;LFViewerX", "LFViewer", 0},
      {"LFViewer", "LFView", 0},
      {";;;", "", 0},                           // empty entries do not exist
      {"LCHome;LCPro", "LCPro", 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.contains, ComponentListContains(c.list, c.key)) << c.list << " / " << c.key;
}

struct AppendCase {
  const char* list;
  const char* key;
  int result;
  const char* expected;   // out after a result of 1
};

void PrintTo(const AppendCase& c, std::ostream* os) {
  *os << "\"" << c.list << " + " << c.key << "\"";
}

class AppendToComponentListTest : public ::testing::TestWithParam<AppendCase> {};

TEST_P(AppendToComponentListTest, GrowsOnlyWithNewKeys) {
  const AppendCase& c = GetParam();
  char out[64];
  std::memset(out, '#', sizeof(out));
  out[0] = 'X';
  out[1] = '\0';
  EXPECT_EQ(c.result, AppendToComponentList(c.list, c.key, out, sizeof(out)));
  if (c.result == 1)
    EXPECT_STREQ(c.expected, out);
  else
    EXPECT_STREQ("X", out) << "nothing to store must leave out untouched";
}

INSTANTIATE_TEST_SUITE_P(
    Lists, AppendToComponentListTest,
    ::testing::Values(AppendCase{"", "LFViewer", 1, "LFViewer"},
                      AppendCase{"Key1;Key2", "LFViewer", 1, "Key1;Key2;LFViewer"},
                      AppendCase{"LCHome", "LFViewer", 1, "LCHome;LFViewer"},
                      AppendCase{"LFVIEWER", "LFViewer", 0, nullptr},
                      AppendCase{"LCHome;lfviewer;LCPro", "LFViewer", 0, nullptr},
                      // the old list is kept whole, stray separators included
                      AppendCase{"LCHome;", "LFViewer", 1, "LCHome;;LFViewer"},
                      AppendCase{";", "LFViewer", 1, ";;LFViewer"}));

TEST(AppendToComponentList, RefusesWhatDoesNotFitAndLeavesOutUntouched) {
  const std::string list(250, 'k');
  char out[260];
  out[0] = 'X';
  out[1] = '\0';
  // 250 + ";" + 8 = 259 characters: just fits.
  EXPECT_EQ(1, AppendToComponentList(list.c_str(), "LFViewer", out, sizeof(out)));
  EXPECT_EQ(list + ";LFViewer", std::string(out));
  out[0] = 'X';
  out[1] = '\0';
  // 250 + ";" + 9 = 260 characters: one too many.
  EXPECT_EQ(-1, AppendToComponentList(list.c_str(), "LFViewer2", out, sizeof(out)));
  EXPECT_STREQ("X", out);
}

struct RemoveCase {
  const char* list;
  const char* key;
  int result;
  const char* expected;
};

void PrintTo(const RemoveCase& c, std::ostream* os) {
  *os << "\"" << c.list << " - " << c.key << "\"";
}

class RemoveComponentListEntryTest : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveComponentListEntryTest, DropsEveryMatchAndTidiesSeparators) {
  const RemoveCase& c = GetParam();
  char out[64];
  std::memset(out, '#', sizeof(out));
  EXPECT_EQ(c.result, RemoveComponentListEntry(c.list, c.key, out, sizeof(out)));
  EXPECT_STREQ(c.expected, out);

  // The uninstaller may edit the list it read in place.
  char inPlace[64];
  ASSERT_EQ(1, CopyBounded(c.list, inPlace, sizeof(inPlace)));
  EXPECT_EQ(c.result, RemoveComponentListEntry(inPlace, c.key, inPlace, sizeof(inPlace)));
  EXPECT_STREQ(c.expected, inPlace);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, RemoveComponentListEntryTest,
    ::testing::Values(RemoveCase{"LFViewer;LCHome", "lfviewer", 1, "LCHome"},
                      RemoveCase{"LFViewer", "LFViewer", 1, ""},
                      RemoveCase{"LCHome;LFViewer;LCPro", "LFVIEWER", 1, "LCHome;LCPro"},
                      RemoveCase{"LFViewer;LCHome;lfviewer", "LFViewer", 1, "LCHome"},
                      RemoveCase{";;LCHome;;;LFViewer;", "LFViewer", 1, "LCHome"},
                      RemoveCase{"LCHome;LCPro", "LFViewer", 0, "LCHome;LCPro"},
                      RemoveCase{";LCHome;;LCPro;", "LFViewer", 0, "LCHome;LCPro"},
                      RemoveCase{"LFViewer2;XLFViewer", "LFViewer", 0, "LFViewer2;XLFViewer"},
                      RemoveCase{"", "LFViewer", 0, ""},
                      RemoveCase{";;", "LFViewer", 0, ""}));

TEST(RemoveComponentListEntry, RefusesAnOutTooSmallForTheRestAndLeavesItUntouched) {
  char out[8];
  std::memset(out, '#', sizeof(out));
  out[0] = 'X';
  // "LCHome;LCPro" is 12 characters.
  EXPECT_EQ(-1, RemoveComponentListEntry("LFViewer;LCHome;LCPro", "LFViewer", out, sizeof(out)));
  EXPECT_EQ('X', out[0]);
  EXPECT_EQ('#', out[1]);
  // What does fit, exactly, is given back.
  char exact[7];
  EXPECT_EQ(1, RemoveComponentListEntry("LFViewer;LCHome", "LFViewer", exact, sizeof(exact)));
  EXPECT_STREQ("LCHome", exact);
  EXPECT_EQ(-1, RemoveComponentListEntry("LFViewer;LCHome", "LFViewer", exact, 6));
}

}  // namespace
