#include "registry/viewer_records.h"

#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "app/text_util.h"
#include "registry/value_list.h"
#include "registry_probe.h"

namespace {

using namespace reg_probe;

const char kProductKey[] = "SOFTWARE\\LUMENFIELD Corporation\\LFViewer";
const char kRecordsKey[] = "Software\\LUMENFIELD Corporation\\LFViewer\\";

struct MarkCase {
  const char* label;
  bool seeded;
  DWORD type;
  std::string stored;
  DWORD expected;
};

void PrintTo(const MarkCase& c, std::ostream* os) { *os << c.label; }

class MarkBrandInstalledTest : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkBrandInstalledTest, SetsTheBrandBitAndKeepsTheOthers) {
  const MarkCase& c = GetParam();
  ASSERT_EQ(1, CopyBounded("LFViewer", g_productKey, sizeof(g_productKey)));
  if (c.seeded)
    ASSERT_TRUE(SeedValue(HKEY_LOCAL_MACHINE, kProductKey, "RegInfo", c.type, c.stored));
  MarkBrandInstalled();
  StoredValue v = ReadValue(HKEY_LOCAL_MACHINE, kProductKey, "RegInfo");
  ASSERT_TRUE(v.exists);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), v.type);
  EXPECT_EQ(DwordData(c.expected), v.data);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, MarkBrandInstalledTest,
    ::testing::Values(MarkCase{"None", false, 0, "", 0x100},
                      MarkCase{"Three", true, REG_DWORD, DwordData(3), 0x103},
                      MarkCase{"AlreadySet", true, REG_DWORD, DwordData(0x1100), 0x1100},
                      MarkCase{"AllOthers", true, REG_DWORD, DwordData(0xFFFFFEFF), 0xFFFFFFFF},
                      // not readable as four bytes: counts as 0
                      MarkCase{"EightBytes", true, REG_BINARY, std::string(8, '\x03'), 0x100}),
    [](const ::testing::TestParamInfo<MarkCase>& info) { return std::string(info.param.label); });

struct VersionCase {
  const char* label;
  bool seeded;            // a "RegVerStr" value exists before
  std::string stored;
  const char* version;
  std::string expected;
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.label; }

class RecordBrandVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(RecordBrandVersionTest, AddsOrReplacesThisBrandsEntryOnly) {
  const VersionCase& c = GetParam();
  if (c.seeded) ASSERT_TRUE(SeedString(HKEY_LOCAL_MACHINE, kRecordsKey, "RegVerStr", c.stored));
  RecordBrandVersion(c.version);
  StoredValue v = ReadValue(HKEY_LOCAL_MACHINE, kRecordsKey, "RegVerStr");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), v.type);
  EXPECT_EQ(StringData(c.expected), v.data);
}

const std::string kOtherEditions = "0x0200=" + std::string(1000, '1');  // 1007 characters
const std::string kFullList = "0x0200=" + std::string(1001, '1');       // one more
const std::string kOwnEntryFirst = "0x0100=1.0;" + std::string(1010, 'x');  // 1021
const std::string kTooLongToLoad = "0x0200=1.0;" + std::string(1500, 'x');

INSTANTIATE_TEST_SUITE_P(
    Lists, RecordBrandVersionTest,
    ::testing::Values(
        VersionCase{"None", false, "", "2.1.0.35", "0x0100=2.1.0.35"},
        VersionCase{"Other", true, "0x0200=1.0.0.4", "2.1.0.35", "0x0200=1.0.0.4;0x0100=2.1.0.35"},
        VersionCase{"Middle", true, "0x0200=1.0;0x0100=1.5;0x0400=3.0", "2.0",
                    "0x0200=1.0;0x0100=2.0;0x0400=3.0"},
        VersionCase{"Last", true, "0x0100=1.5", "2.0", "0x0100=2.0"},
        VersionCase{"EmptyVersion", false, "", "", "0x0100="},
        VersionCase{"EmptyVersionAfterOther", true, "0x0200=1.0", "", "0x0200=1.0;0x0100="},
        // ";0x0100=2.1.0.35" takes the 1007 characters to exactly 1023
        VersionCase{"FillsTo1023", true, kOtherEditions, "2.1.0.35",
                    kOtherEditions + ";0x0100=2.1.0.35"},
        VersionCase{"AddWouldPass1023", true, kFullList, "2.1.0.35", kFullList},
        VersionCase{"ReplaceWouldPass1023", true, kOwnEntryFirst, "2.1.0.35", kOwnEntryFirst},
        // a stored list the editor cannot hold is never replaced by ours alone
        VersionCase{"StoredPast1023", true, kTooLongToLoad, "2.1.0.35", kTooLongToLoad}),
    [](const ::testing::TestParamInfo<VersionCase>& info) {
      return std::string(info.param.label);
    });

TEST(RegListLoad, ReadsTheNamedValueOrLeavesTheListEmpty) {
  ASSERT_TRUE(SeedString(HKEY_LOCAL_MACHINE, kRecordsKey, "RegVerStr", "0x0200=1.0"));
  RegListInit("RegVerStr");
  EXPECT_EQ(0, RegListLoad(HKEY_LOCAL_MACHINE, kRecordsKey));
  EXPECT_STREQ("0x0200=1.0", RegListText());
  RegListInit("Missing");
  ASSERT_EQ(0, RegListSetText("left over"));
  EXPECT_EQ(-1, RegListLoad(HKEY_LOCAL_MACHINE, kRecordsKey));
  EXPECT_STREQ("", RegListText());
}

TEST(RegListSave, WritesAListAndDeletesTheValueOfAnEmptyOne) {
  RegListInit("RegVerStr");
  ASSERT_EQ(0, RegListAdd(0, "0x0100=2.0"));
  EXPECT_EQ(0, RegListSave(HKEY_LOCAL_MACHINE, kRecordsKey));
  EXPECT_EQ(StringData("0x0100=2.0"), ReadValue(HKEY_LOCAL_MACHINE, kRecordsKey, "RegVerStr").data);

  RegListInit("RegVerStr");
  EXPECT_EQ(0, RegListSave(HKEY_LOCAL_MACHINE, kRecordsKey));
  EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, kRecordsKey, "RegVerStr").exists);
  EXPECT_EQ(-1, RegListSave(HKEY_LOCAL_MACHINE, kRecordsKey)) << "nothing left to delete";
}

}  // namespace
