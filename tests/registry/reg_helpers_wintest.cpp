// What no install can show: that every registry helper closes every key it
// opens, on its failure paths too.
#include "registry/reg_helpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kKey[] = "Software\\LFRegTest";

void Seed(const char* name, DWORD type, const std::string& data) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
  RegCloseKey(key);
}

// The value of a key handle opened and closed right now: freed slots are
// given out again, so operations that close every key they open leave it
// where it was, while leaked keys push it up.
UINT_PTR NextKeyHandleValue() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
  RegCloseKey(key);
  return reinterpret_cast<UINT_PTR>(key);
}

TEST(RegHelpers, CloseEveryKeyOnEveryPath) {
  Seed("Long", REG_SZ, std::string(400, 'k'));
  const char nested[] = "Software\\LFRegTest\\N";
  NextKeyHandleValue();  // the predefined root keys open once per process
  UINT_PTR before = NextKeyHandleValue();
  for (int i = 0; i < 100; ++i) {
    char buffer[16];
    DWORD number;
    SetRegDword(HKEY_CURRENT_USER, nested, "n", 1);
    SetRegString(HKEY_CURRENT_USER, nested, "s", "x", 1);
    SetRegString(HKEY_CURRENT_USER, nested, "missing", "x", 0);
    GetRegString(HKEY_CURRENT_USER, kKey, "Long", buffer, sizeof(buffer));  // too long
    GetRegString(HKEY_CURRENT_USER, kKey, "missing", buffer, sizeof(buffer));
    GetRegDword(HKEY_CURRENT_USER, nested, "n", &number, sizeof(number));
    GetRegDword(HKEY_CURRENT_USER, nested, "missing", &number, sizeof(number));
    DeleteRegValue(HKEY_CURRENT_USER, nested, "missing");
    DeleteRegKeyIfEmpty(HKEY_CURRENT_USER, nested);  // kept: holds values
    SetRegString(HKEY_CURRENT_USER, "Software\\LFRegTest\\T\\a\\b", "v", "x", 1);
    DeleteRegKeyTree(HKEY_CURRENT_USER, "Software\\LFRegTest\\T");
    DeleteRegKeyTree(HKEY_CURRENT_USER, "Software\\LFRegTest\\T");  // missing
  }
  UINT_PTR after = NextKeyHandleValue();
  ASSERT_NE(0u, before);
  // Handle values step by 4: one leaked key per pass would hold 100 more.
  EXPECT_LT(after, before + 25 * 4) << before << " -> " << after;
}

}  // namespace
