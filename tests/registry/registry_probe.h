// Reads and seeds the registry with the plain Win32 calls, so that the tests
// check what the program's own registry operations left behind without using
// them.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace reg_probe {

struct StoredValue {
  bool exists = false;
  DWORD type = 0;
  std::string data;   // the raw bytes, a string's terminator included
};

inline StoredValue ReadValue(HKEY root, const char* subkey, const char* name) {
  StoredValue value;
  HKEY key;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.data.resize(size);
    if (RegQueryValueExA(key, name, nullptr, &value.type,
                         reinterpret_cast<BYTE*>(&value.data[0]), &size) == ERROR_SUCCESS) {
      value.exists = true;
      value.data.resize(size);
    }
  }
  RegCloseKey(key);
  return value;
}

// A REG_SZ value holding exactly text and its terminator.
inline std::string StringData(const std::string& text) { return text + std::string(1, '\0'); }

inline std::string DwordData(DWORD number) {
  return std::string(reinterpret_cast<const char*>(&number), sizeof(number));
}

// Every value of a key by name (the unnamed one under ""); empty when the
// key is missing.
inline std::map<std::string, std::string> AllStringValues(HKEY root, const char* subkey) {
  std::map<std::string, std::string> values;
  HKEY key;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return values;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameSize = sizeof(name);
    BYTE data[1024];
    DWORD dataSize = sizeof(data);
    DWORD type = 0;
    if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) !=
        ERROR_SUCCESS)
      break;
    // A string's terminator is dropped; any other type is marked.
    std::string text(reinterpret_cast<const char*>(data), dataSize);
    if (type == REG_SZ && !text.empty() && text.back() == '\0') text.pop_back();
    else if (type != REG_SZ) text = "<type " + std::to_string(type) + ">";
    values[name] = text;
  }
  RegCloseKey(key);
  return values;
}

inline bool KeyExists(HKEY root, const char* subkey) {
  HKEY key;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Number of subkeys and values of an existing key; false when it is missing.
inline bool CountKeyContent(HKEY root, const char* subkey, DWORD* subkeys, DWORD* values) {
  HKEY key;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  LONG rc = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, values,
                             nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

// Creates root\subkey and stores raw bytes of the given type under name.
inline bool SeedValue(HKEY root, const char* subkey, const char* name, DWORD type,
                      const std::string& data) {
  HKEY key;
  if (RegCreateKeyExA(root, subkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

inline bool SeedString(HKEY root, const char* subkey, const char* name, const std::string& text) {
  return SeedValue(root, subkey, name, REG_SZ, StringData(text));
}

inline bool SeedKey(HKEY root, const char* subkey) {
  HKEY key;
  if (RegCreateKeyExA(root, subkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// The value of a key handle opened and closed right now. Closed handles'
// slots are given out again, so a run of operations that closes every key it
// opens leaves this value where it was, while leaked keys push it up.
inline UINT_PTR NextKeyHandleValue() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return 0;
  RegCloseKey(key);
  return reinterpret_cast<UINT_PTR>(key);
}

}  // namespace reg_probe
