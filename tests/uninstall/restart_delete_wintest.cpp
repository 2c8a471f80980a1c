// What no row can make happen: a folder left over after its program's end
// (a program the install started still holds it) is scheduled for deletion
// at the restart file by file, each folder after what it holds.
#include "uninstall/restart_delete.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The paths PendingFileRenameOperations lists for deletion, in its order.
std::vector<std::string> PendingDeletions() {
  std::vector<std::string> out;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_QUERY_VALUE,
                    &key))
    return out;
  std::vector<char> data(65536);
  DWORD size = data.size() - 2;
  RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
  RegCloseKey(key);
  for (const char *p = data.data(), *end = p + size; p < end && *p;) {
    std::string from = p;
    p += from.size() + 1;
    if (p < end && !*p) out.push_back(from.compare(0, 4, "\\??\\") == 0 ? from.substr(4) : from);
    p += strlen(p) + 1;
  }
  return out;
}

TEST(DeleteTreeAtRestart, EachFileThenItsFolderThenTheFolder) {
  const std::string top = "C:\\leftover";
  ASSERT_TRUE(CreateDirectoryA(top.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((top + "\\sub").c_str(), nullptr));
  for (const char* file : {"\\a.txt", "\\sub\\b.txt"}) {
    HANDLE h = CreateFileA((top + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
  }
  DeleteTreeAtRestart(top.c_str());
  std::vector<std::string> pending = PendingDeletions();
  auto at = [&](const std::string& path) { return std::find(pending.begin(), pending.end(), path) - pending.begin(); };
  ASSERT_EQ(4u, pending.size());
  EXPECT_LT(at(top + "\\sub\\b.txt"), at(top + "\\sub"));
  EXPECT_EQ(3, at(top));
  EXPECT_LT(at(top + "\\a.txt"), 3);
}

}  // namespace
