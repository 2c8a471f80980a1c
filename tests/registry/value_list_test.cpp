#include "registry/value_list.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

const char kPrefix[] = "0x0100=";

// Starts the editor on the given list, as a load from the registry would.
void StartWith(const char* text) {
  RegListInit("RegVerStr");
  ASSERT_EQ(0, RegListSetText(text));
}

TEST(RegListInit, EmptiesTheListAndCutsTheValueName) {
  StartWith("0x0200=1.0");
  EXPECT_EQ(0, RegListInit("RegVerStr"));
  EXPECT_STREQ("", RegListText());
  EXPECT_STREQ("RegVerStr", RegListValueName());

  const std::string longName(300, 'n');
  RegListInit(longName.c_str());
  EXPECT_EQ(std::string(259, 'n'), std::string(RegListValueName()));
}

struct AddCase {
  const char* list;
  int skipCheck;
  const char* entry;
  int result;
  const char* expected;
};

void PrintTo(const AddCase& c, std::ostream* os) {
  *os << "\"" << c.list << " + " << c.entry << "\"";
}

class RegListAddTest : public ::testing::TestWithParam<AddCase> {};

TEST_P(RegListAddTest, AppendsWithOneSeparatorOrRefuses) {
  const AddCase& c = GetParam();
  StartWith(c.list);
  EXPECT_EQ(c.result, RegListAdd(c.skipCheck, c.entry));
  EXPECT_STREQ(c.expected, RegListText());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, RegListAddTest,
    ::testing::Values(
        AddCase{"", 0, "0x0100=2.1.0.35", 0, "0x0100=2.1.0.35"},
        AddCase{"0x0200=1.0.0.4", 0, "0x0100=2.1.0.35", 0, "0x0200=1.0.0.4;0x0100=2.1.0.35"},
        // an entry that brings its own separator gets no second one
        AddCase{"0x0200=1.0", 0, ";0x0100=2.0", 0, "0x0200=1.0;0x0100=2.0"},
        AddCase{"", 0, ";0x0100=2.0", 0, ";0x0100=2.0"},
        // duplicates are whole entries, letters folded, a leading ";" ignored
        AddCase{"0x0200=1.0;ABC", 0, "abc", -1, "0x0200=1.0;ABC"},
        AddCase{"0x0200=1.0;;ABC;", 0, ";Abc", -1, "0x0200=1.0;;ABC;"},
        AddCase{"ABCD", 0, "ABC", 0, "ABCD;ABC"},
        AddCase{"ABC", 1, "ABC", 0, "ABC;ABC"},
        AddCase{"", 0, "0x0100=", 0, "0x0100="}));

TEST(RegListAdd, NeverTakesTheListPast1023Characters) {
  const std::string full(1000, 'a');
  // 1000 + ";" + 22 = 1023: fits exactly.
  StartWith(full.c_str());
  EXPECT_EQ(0, RegListAdd(0, std::string(22, 'b').c_str()));
  EXPECT_EQ(1023u, std::string(RegListText()).size());
  // 1000 + ";" + 23 = 1024: refused, the list unchanged.
  StartWith(full.c_str());
  EXPECT_EQ(-1, RegListAdd(0, std::string(23, 'b').c_str()));
  EXPECT_EQ(full, std::string(RegListText()));
  // A leading ";" counts as the separator: 1000 + 23 = 1023 fits.
  StartWith(full.c_str());
  EXPECT_EQ(0, RegListAdd(0, (";" + std::string(22, 'b')).c_str()));
  EXPECT_EQ(1023u, std::string(RegListText()).size());
  // Into an empty list the entry alone may take all 1023 characters.
  StartWith("");
  EXPECT_EQ(-1, RegListAdd(0, std::string(1024, 'c').c_str()));
  EXPECT_EQ(0, RegListAdd(0, std::string(1023, 'c').c_str()));
  EXPECT_EQ(-1, RegListAdd(1, "d"));
  EXPECT_EQ(std::string(1023, 'c'), std::string(RegListText()));
}

struct ReplaceCase {
  const char* list;
  const char* newText;
  const char* expected;
};

void PrintTo(const ReplaceCase& c, std::ostream* os) {
  *os << "\"" << c.list << " <- " << c.newText << "\"";
}

class RegListReplaceTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(RegListReplaceTest, ReplacesOnlyTheTextAfterThePrefix) {
  const ReplaceCase& c = GetParam();
  StartWith(c.list);
  RegListReplace(kPrefix, c.newText);
  EXPECT_STREQ(c.expected, RegListText());
  // The length follows the new text: an append goes right after it.
  EXPECT_EQ(0, RegListAdd(1, "z"));
  EXPECT_EQ(std::string(c.expected) + ";z", std::string(RegListText()));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, RegListReplaceTest,
    ::testing::Values(
        ReplaceCase{"0x0200=1.0;0x0100=1.5;0x0400=3.0", "2.0", "0x0200=1.0;0x0100=2.0;0x0400=3.0"},
        ReplaceCase{"0x0100=1.5", "2.0", "0x0100=2.0"},
        ReplaceCase{"0x0200=1.0;0x0100=1.5", "2.1.0.35", "0x0200=1.0;0x0100=2.1.0.35"},
        ReplaceCase{"0x0100=1.5.0.100;0x0200=1", "2", "0x0100=2;0x0200=1"},
        ReplaceCase{"0x0100=1.5;0x0200=1", "", "0x0100=;0x0200=1"},
        ReplaceCase{"0x0100=;0x0200=1", "3.0", "0x0100=3.0;0x0200=1"},
        // only the first occurrence changes
        ReplaceCase{"0x0100=1;0x0100=2", "9", "0x0100=9;0x0100=2"}));

TEST(RegListReplace, LeavesTheListWhenThePrefixIsMissingOrTheResultWouldNotFit) {
  StartWith("0x0200=1.0");
  RegListReplace(kPrefix, "2.0");
  EXPECT_STREQ("0x0200=1.0", RegListText());
  StartWith("0X0100=1.0");  // the search is case-sensitive
  RegListReplace(kPrefix, "2.0");
  EXPECT_STREQ("0X0100=1.0", RegListText());

  // 7 + 3 + 1 + 1000 = 1011 characters; a new text 15 longer reaches 1026.
  const std::string list = std::string(kPrefix) + "1.0;" + std::string(1000, 'x');
  StartWith(list.c_str());
  RegListReplace(kPrefix, std::string(18, '9').c_str());
  EXPECT_EQ(list, std::string(RegListText()));
  // Exactly 1023 characters is still accepted.
  RegListReplace(kPrefix, std::string(15, '9').c_str());
  EXPECT_EQ(std::string(kPrefix) + std::string(15, '9') + ";" + std::string(1000, 'x'),
            std::string(RegListText()));
}

TEST(RegListSetText, RefusesMoreThan1023CharactersAndLeavesTheListEmpty) {
  StartWith("0x0200=1.0");
  EXPECT_EQ(-1, RegListSetText(std::string(1024, 'a').c_str()));
  EXPECT_STREQ("", RegListText());
  EXPECT_EQ(0, RegListAdd(0, "b"));
  EXPECT_STREQ("b", RegListText());
  EXPECT_EQ(0, RegListSetText(std::string(1023, 'a').c_str()));
  EXPECT_EQ(-1, RegListAdd(1, "c"));
}

TEST(FormatVersionText, PrintsTheFourHalvesAsUnsignedDecimals) {
  struct {
    unsigned long most;
    unsigned long least;
    const char* text;
  } cases[] = {
      {0x00020001ul, 0x00000023ul, "2.1.0.35"},
      {0, 0, "0.0.0.0"},
      {0xFFFFFFFFul, 0x8000FFFEul, "65535.65535.32768.65534"},
      {0x00010000ul, 0x00040003ul, "1.0.4.3"},
  };
  for (const auto& c : cases) {
    char out[32];
    EXPECT_EQ(1, FormatVersionText(c.most, c.least, out, sizeof(out)));
    EXPECT_STREQ(c.text, out);
  }
  char small[8];
  EXPECT_EQ(0, FormatVersionText(0x00020001ul, 0x00000023ul, small, sizeof(small)));
  EXPECT_STREQ("", small);
}

}  // namespace
