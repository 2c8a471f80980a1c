#include "registry/reg_helpers.h"

#include <cstring>

#include "base/handles.h"
#include "base/run_log.h"

namespace {

// Subkey names met while a tree is deleted; registry key names are shorter.
const DWORD kSubkeyNameSize = 260;

LONG CreateKey(HKEY root, const char* subkey, ScopedKey& key) {
  return RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                         nullptr, &key.h, nullptr);
}

// The log's line for a value written or deleted; a failed change says so.
void LogValue(const char* what, HKEY root, const char* subkey, const char* name, int done) {
  LogLine("registry value %s%s: %s\\%s \"%s\"", done ? "" : "not ", what, RootName(root),
          subkey, name ? name : "");
}

}  // namespace

int SetRegDword(HKEY root, const char* subkey, const char* name, DWORD value) {
  ScopedKey key;
  int done = CreateKey(root, subkey, key) == ERROR_SUCCESS &&
             RegSetValueExA(key.h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof(value)) == ERROR_SUCCESS;
  LogValue("written", root, subkey, name, done);
  return done;
}

int SetRegString(HKEY root, const char* subkey, const char* name, const char* value, int set) {
  ScopedKey key;
  if (CreateKey(root, subkey, key) != ERROR_SUCCESS) {
    LogValue(set ? "written" : "deleted", root, subkey, name, 0);
    return 0;
  }
  LONG rc;
  if (set) {
    rc = RegSetValueExA(key.h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                        static_cast<DWORD>(strlen(value) + 1));
    LogValue("written", root, subkey, name, rc == ERROR_SUCCESS);
  } else {
    rc = RegDeleteValueA(key.h, name);
    // Deleting a value that is not there changes nothing worth a line.
    if (rc == ERROR_SUCCESS) LogValue("deleted", root, subkey, name, 1);
  }
  return rc == ERROR_SUCCESS;
}

int GetRegString(HKEY root, const char* subkey, const char* name, char* buffer, DWORD size) {
  if (size == 0) return 0;
  ScopedKey key;
  DWORD length = size;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key.h) != ERROR_SUCCESS ||
      RegQueryValueExA(key.h, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length) !=
          ERROR_SUCCESS) {
    buffer[0] = '\0';
    return 0;
  }
  // Whatever the value's type, the caller gets a terminated string: data that
  // fills the whole buffer without a terminator of its own counts as too long,
  // shorter data is terminated right after its last byte.
  if (length >= size) {
    if (buffer[size - 1] != '\0') {
      buffer[0] = '\0';
      return 0;
    }
  } else {
    buffer[length] = '\0';
  }
  return 1;
}

int GetRegDword(HKEY root, const char* subkey, const char* name, DWORD* value, DWORD size) {
  *value = 0;
  ScopedKey key;
  if (RegOpenKeyExA(root, subkey, 0, KEY_READ, &key.h) != ERROR_SUCCESS) return 0;
  // Read into a local number: a size above 4 must never write past *value.
  DWORD number = 0;
  DWORD length = size < sizeof(number) ? size : static_cast<DWORD>(sizeof(number));
  if (RegQueryValueExA(key.h, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &length) !=
      ERROR_SUCCESS)
    return 0;
  *value = number;
  return 1;
}

int GetRegValueSize(HKEY root, const char* subkey, const char* name, DWORD* size) {
  *size = 0;
  ScopedKey key;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key.h) != ERROR_SUCCESS) return 0;
  DWORD length = 0;
  if (RegQueryValueExA(key.h, name, nullptr, nullptr, nullptr, &length) != ERROR_SUCCESS) return 0;
  *size = length;
  return 1;
}

namespace {

int DeleteTree(HKEY root, const char* subkey) {
  ScopedKey key;
  if (RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, &key.h) != ERROR_SUCCESS) return 0;
  int result = 1;
  for (;;) {
    // Always index 0: every pass deletes the subkey it found, so the next one
    // moves into its place; a subkey that cannot go ends the loop with 0.
    char name[kSubkeyNameSize];
    DWORD nameSize = kSubkeyNameSize;
    LONG rc = RegEnumKeyExA(key.h, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) {
      if (!DeleteTree(key.h, name)) {
        result = 0;
        break;
      }
    } else if (rc == ERROR_NO_MORE_ITEMS) {
      result = RegDeleteKeyA(root, subkey) == ERROR_SUCCESS;
      break;
    } else {
      result = 0;
      break;
    }
  }
  return result;
}

}  // namespace

int DeleteRegKeyTree(HKEY root, const char* subkey) {
  int deleted = DeleteTree(root, subkey);
  if (deleted) LogLine("registry key deleted: %s\\%s", RootName(root), subkey);
  return deleted;
}

int DeleteRegKeyIfEmpty(HKEY root, const char* subkey) {
  ScopedKey key;
  if (RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, &key.h) != ERROR_SUCCESS) return 0;
  DWORD subkeys = 0;
  DWORD values = 0;
  if (RegQueryInfoKeyA(key.h, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return 0;
  if (subkeys != 0 || values != 0) return 1;
  if (RegDeleteKeyA(root, subkey) != ERROR_SUCCESS) return 0;
  LogLine("registry key deleted: %s\\%s", RootName(root), subkey);
  return 1;
}

int DeleteRegValue(HKEY root, const char* subkey, const char* name) {
  ScopedKey key;
  if (RegOpenKeyExA(root, subkey, 0, KEY_WRITE, &key.h) != ERROR_SUCCESS) return 0;
  if (RegDeleteValueA(key.h, name) != ERROR_SUCCESS) return 0;
  LogValue("deleted", root, subkey, name, 1);
  return 1;
}
