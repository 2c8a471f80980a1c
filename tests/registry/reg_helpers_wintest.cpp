// The registry read's failure paths, which no install meets: a value longer
// than the caller's buffer, or stored without a terminator that fits, is
// refused and leaves an empty text instead of a cut one.
#include "registry/reg_helpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kKey[] = "Software\\LFRegTest";

void Seed(const char* name, DWORD type, const std::string& data) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()));
  RegCloseKey(key);
}

TEST(GetRegString, ReadsWhatFitsAndEmptiesTheBufferOtherwise) {
  Seed("Nine", REG_SZ, std::string("123456789", 10));
  Seed("Unterminated", REG_BINARY, "abcdefghij");
  struct {
    const char* subkey;
    const char* name;
    DWORD size;
    int result;
    const char* text;
  } cases[] = {
      {kKey, "Nine", 10, 1, "123456789"},  // exactly fits with its terminator
      {kKey, "Nine", 9, 0, ""},            // one byte short
      {kKey, "Missing", 260, 0, ""},
      {"Software\\LFRegTest\\Missing", "Nine", 260, 0, ""},
      {kKey, "Unterminated", 10, 0, ""},   // fills the buffer, no room for the terminator
      {kKey, "Unterminated", 11, 1, "abcdefghij"},
  };
  for (const auto& c : cases) {
    char buffer[300];
    std::string(sizeof(buffer) - 1, '#').copy(buffer, sizeof(buffer));
    buffer[sizeof(buffer) - 1] = '\0';
    EXPECT_EQ(c.result, GetRegString(HKEY_CURRENT_USER, c.subkey, c.name, buffer, c.size)) << c.name;
    EXPECT_STREQ(c.text, buffer) << c.name << " size " << c.size;
  }
}

}  // namespace
