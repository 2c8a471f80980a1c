#include "registry/reg_helpers.h"

#include <gtest/gtest.h>

#include <string>

#include "registry_probe.h"

namespace {

using namespace reg_probe;

const HKEY kRoot = HKEY_CURRENT_USER;
const char kTestKey[] = "Software\\LFRegTest";
const char kNestedKey[] = "Software\\LFRegTest\\A\\B";

TEST(SetRegDword, CreatesTheKeyPathAndStoresFourBytes) {
  ASSERT_FALSE(KeyExists(kRoot, kTestKey));
  EXPECT_NE(0, SetRegDword(kRoot, kNestedKey, "Number", 0x12345678));
  StoredValue v = ReadValue(kRoot, kNestedKey, "Number");
  ASSERT_TRUE(v.exists);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), v.type);
  EXPECT_EQ(DwordData(0x12345678), v.data);
  // Overwrites.
  EXPECT_NE(0, SetRegDword(kRoot, kNestedKey, "Number", 7));
  EXPECT_EQ(DwordData(7), ReadValue(kRoot, kNestedKey, "Number").data);
}

TEST(SetRegString, StoresTheTerminatorWithTheText) {
  struct {
    const char* name;
    const char* text;
  } cases[] = {{"Text", "C:\\Program Files\\Quillara"}, {"Empty", ""}, {"", "default value"}};
  for (const auto& c : cases) {
    EXPECT_EQ(1, SetRegString(kRoot, kNestedKey, c.name, c.text, 1)) << c.name;
    StoredValue v = ReadValue(kRoot, kNestedKey, c.name);
    ASSERT_TRUE(v.exists) << c.name;
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), v.type);
    EXPECT_EQ(StringData(c.text), v.data) << "length must be the text's plus one";
  }
  EXPECT_EQ(1u, ReadValue(kRoot, kNestedKey, "Empty").data.size());
  // The empty name is the key's unnamed value, not a value called "".
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(kRoot, kNestedKey, 0, KEY_QUERY_VALUE, &key));
  char data[64];
  LONG size = sizeof(data);
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueA(key, nullptr, data, &size));
  EXPECT_STREQ("default value", data);
  RegCloseKey(key);
}

TEST(SetRegString, SetFlagZeroDeletesTheValueAndStillCreatesTheKey) {
  // Missing key: created empty, and 0 since there was nothing to delete.
  EXPECT_EQ(0, SetRegString(kRoot, kNestedKey, "Gone", "ignored", 0));
  DWORD subkeys = 9, values = 9;
  ASSERT_TRUE(CountKeyContent(kRoot, kNestedKey, &subkeys, &values));
  EXPECT_EQ(0u, subkeys);
  EXPECT_EQ(0u, values);

  ASSERT_TRUE(SeedString(kRoot, kNestedKey, "Gone", "x"));
  ASSERT_TRUE(SeedString(kRoot, kNestedKey, "Stays", "y"));
  EXPECT_EQ(1, SetRegString(kRoot, kNestedKey, "Gone", "ignored", 0));
  EXPECT_FALSE(ReadValue(kRoot, kNestedKey, "Gone").exists);
  EXPECT_TRUE(ReadValue(kRoot, kNestedKey, "Stays").exists);
  EXPECT_EQ(0, SetRegString(kRoot, kNestedKey, "Gone", "ignored", 0));
}

TEST(GetRegString, ReadsWhatFitsAndEmptiesTheBufferOtherwise) {
  ASSERT_TRUE(SeedString(kRoot, kTestKey, "Nine", "123456789"));
  ASSERT_TRUE(SeedValue(kRoot, kTestKey, "Unterminated", REG_BINARY, "abcdefghij"));
  ASSERT_TRUE(SeedValue(kRoot, kTestKey, "ShortBinary", REG_BINARY, "abc"));
  struct {
    const char* subkey;
    const char* name;
    DWORD size;
    int result;
    const char* text;
  } cases[] = {
      {kTestKey, "Nine", 10, 1, "123456789"},   // exactly fits with its terminator
      {kTestKey, "Nine", 260, 1, "123456789"},
      {kTestKey, "Nine", 9, 0, ""},             // one byte short
      {kTestKey, "Missing", 260, 0, ""},
      {"Software\\LFRegTest\\Missing", "Nine", 260, 0, ""},
      {kTestKey, "ShortBinary", 260, 1, "abc"},  // the type is not examined
      // data that fills the buffer with no terminator of its own is too long
      {kTestKey, "Unterminated", 10, 0, ""},
      {kTestKey, "Unterminated", 11, 1, "abcdefghij"},
  };
  for (const auto& c : cases) {
    char buffer[300];
    std::string(sizeof(buffer) - 1, '#').copy(buffer, sizeof(buffer));
    buffer[sizeof(buffer) - 1] = '\0';
    EXPECT_EQ(c.result, GetRegString(kRoot, c.subkey, c.name, buffer, c.size)) << c.name;
    EXPECT_STREQ(c.text, buffer) << c.name << " size " << c.size;
  }
}

TEST(GetRegDword, ReadsFourBytesOrStoresZero) {
  ASSERT_TRUE(SeedValue(kRoot, kTestKey, "Number", REG_DWORD, DwordData(0x103)));
  ASSERT_TRUE(SeedValue(kRoot, kTestKey, "Wide", REG_BINARY, std::string(8, '\x01')));
  struct {
    const char* subkey;
    const char* name;
    int result;
    DWORD value;
  } cases[] = {
      {kTestKey, "Number", 1, 0x103},
      {kTestKey, "Missing", 0, 0},
      {"Software\\LFRegTest\\Missing", "Number", 0, 0},
      {kTestKey, "Wide", 0, 0},   // stored with more than four bytes
  };
  for (const auto& c : cases) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(c.result, GetRegDword(kRoot, c.subkey, c.name, &value, sizeof(value))) << c.name;
    EXPECT_EQ(c.value, value) << c.name;
  }
}

TEST(DeleteRegKeyTree, RemovesEveryLevelAndNothingBeside) {
  const char* tree[] = {
      "Software\\LFRegTest\\Tree\\a\\b\\c\\d",
      "Software\\LFRegTest\\Tree\\a\\b2",
      "Software\\LFRegTest\\Tree\\a2\\x",
      "Software\\LFRegTest\\Tree\\a3",
  };
  for (const char* key : tree) ASSERT_TRUE(SeedString(kRoot, key, "v", "data"));
  ASSERT_TRUE(SeedString(kRoot, "Software\\LFRegTest\\Tree", "", "own value"));
  ASSERT_TRUE(SeedString(kRoot, "Software\\LFRegTest\\Treehouse", "v", "sibling"));

  EXPECT_NE(0, DeleteRegKeyTree(kRoot, "Software\\LFRegTest\\Tree"));
  EXPECT_FALSE(KeyExists(kRoot, "Software\\LFRegTest\\Tree"));
  EXPECT_TRUE(KeyExists(kRoot, "Software\\LFRegTest\\Treehouse"));
  EXPECT_TRUE(KeyExists(kRoot, kTestKey));
}

TEST(DeleteRegKeyTree, RemovesAKeyWithoutSubkeysAndFailsOnAMissingOne) {
  ASSERT_TRUE(SeedKey(kRoot, kNestedKey));
  EXPECT_NE(0, DeleteRegKeyTree(kRoot, kNestedKey));
  EXPECT_FALSE(KeyExists(kRoot, kNestedKey));
  EXPECT_TRUE(KeyExists(kRoot, "Software\\LFRegTest\\A"));
  EXPECT_EQ(0, DeleteRegKeyTree(kRoot, kNestedKey));
}

TEST(DeleteRegKeyIfEmpty, DeletesOnlyAKeyWithoutSubkeysAndValues) {
  ASSERT_TRUE(SeedKey(kRoot, "Software\\LFRegTest\\Empty"));
  ASSERT_TRUE(SeedString(kRoot, "Software\\LFRegTest\\DefaultOnly", "", "x"));
  ASSERT_TRUE(SeedKey(kRoot, "Software\\LFRegTest\\Parent\\Child"));
  struct {
    const char* subkey;
    int result;
    bool remains;
  } cases[] = {
      {"Software\\LFRegTest\\Empty", 1, false},
      {"Software\\LFRegTest\\DefaultOnly", 1, true},   // its default value counts
      {"Software\\LFRegTest\\Parent", 1, true},
      {"Software\\LFRegTest\\Missing", 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.result, DeleteRegKeyIfEmpty(kRoot, c.subkey)) << c.subkey;
    EXPECT_EQ(c.remains, KeyExists(kRoot, c.subkey)) << c.subkey;
  }
  EXPECT_TRUE(KeyExists(kRoot, "Software\\LFRegTest\\Parent\\Child"));
}

TEST(DeleteRegValue, DeletesAnExistingValueOnlyAndCreatesNothing) {
  ASSERT_TRUE(SeedString(kRoot, kTestKey, "Gone", "x"));
  ASSERT_TRUE(SeedString(kRoot, kTestKey, "", "default"));
  EXPECT_EQ(1, DeleteRegValue(kRoot, kTestKey, "Gone"));
  EXPECT_FALSE(ReadValue(kRoot, kTestKey, "Gone").exists);
  EXPECT_EQ(0, DeleteRegValue(kRoot, kTestKey, "Gone"));
  EXPECT_EQ(1, DeleteRegValue(kRoot, kTestKey, ""));
  EXPECT_FALSE(ReadValue(kRoot, kTestKey, "").exists);
  EXPECT_EQ(0, DeleteRegValue(kRoot, kNestedKey, "Gone"));
  EXPECT_FALSE(KeyExists(kRoot, kNestedKey));
}

TEST(GetRegValueSize, TellsAMissingValueFromALongOne) {
  ASSERT_TRUE(SeedString(kRoot, kTestKey, "Long", std::string(400, 'k')));
  DWORD size = 1;
  EXPECT_EQ(1, GetRegValueSize(kRoot, kTestKey, "Long", &size));
  EXPECT_EQ(401u, size);
  EXPECT_EQ(0, GetRegValueSize(kRoot, kTestKey, "Missing", &size));
  EXPECT_EQ(0u, size);
  EXPECT_EQ(0, GetRegValueSize(kRoot, kNestedKey, "Long", &size));
}

TEST(RegHelpers, CloseEveryKeyOnEveryPath) {
  ASSERT_TRUE(SeedString(kRoot, kTestKey, "Long", std::string(400, 'k')));
  NextKeyHandleValue();  // the predefined root keys open once per process
  UINT_PTR before = NextKeyHandleValue();
  for (int i = 0; i < 100; ++i) {
    char buffer[16];
    DWORD number;
    SetRegDword(kRoot, kNestedKey, "n", 1);
    SetRegString(kRoot, kNestedKey, "s", "x", 1);
    SetRegString(kRoot, kNestedKey, "missing", "x", 0);
    GetRegString(kRoot, kTestKey, "Long", buffer, sizeof(buffer));   // too long
    GetRegString(kRoot, kTestKey, "missing", buffer, sizeof(buffer));
    GetRegDword(kRoot, kNestedKey, "n", &number, sizeof(number));
    GetRegDword(kRoot, kNestedKey, "missing", &number, sizeof(number));
    DeleteRegValue(kRoot, kNestedKey, "missing");
    DeleteRegKeyIfEmpty(kRoot, kNestedKey);   // kept: holds values
    SeedKey(kRoot, "Software\\LFRegTest\\T\\a\\b");
    DeleteRegKeyTree(kRoot, "Software\\LFRegTest\\T");
    DeleteRegKeyTree(kRoot, "Software\\LFRegTest\\T");   // missing
  }
  UINT_PTR after = NextKeyHandleValue();
  ASSERT_NE(0u, before);
  // Handle values step by 4; a single leaked key per pass would hold 100
  // more handles at the end.
  EXPECT_LT(after, before + 25 * 4) << before << " -> " << after;
}

}  // namespace
