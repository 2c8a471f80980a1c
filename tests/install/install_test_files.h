// What the install tests prepare and read: program files with a chosen
// version, chosen last-write times, files held open by "another program",
// script sections, and a watch for message boxes that no function-level
// test may show.
#pragma once

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "e2e_machine.h"

namespace install_test {

// A VS_VERSIONINFO block holding only the fixed file information, as the
// resource compiler lays it out: header, key "VS_VERSION_INFO", padding to
// 32 bits, VS_FIXEDFILEINFO.
inline std::vector<BYTE> VersionBlock(DWORD most, DWORD least) {
  static const wchar_t kKey[] = L"VS_VERSION_INFO";
  const size_t headerSize = 3 * sizeof(WORD) + sizeof(kKey);  // 38
  const size_t valueOffset = (headerSize + 3) & ~size_t(3);   // 40
  std::vector<BYTE> block(valueOffset + sizeof(VS_FIXEDFILEINFO), 0);
  WORD header[3] = {static_cast<WORD>(block.size()), sizeof(VS_FIXEDFILEINFO), 0};
  std::memcpy(block.data(), header, sizeof(header));
  std::memcpy(block.data() + sizeof(header), kKey, sizeof(kKey));
  VS_FIXEDFILEINFO info = {};
  info.dwSignature = 0xFEEF04BD;
  info.dwStrucVersion = 0x00010000;
  info.dwFileVersionMS = info.dwProductVersionMS = most;
  info.dwFileVersionLS = info.dwProductVersionLS = least;
  info.dwFileFlagsMask = VS_FFI_FILEFLAGSMASK;
  info.dwFileOS = VOS_NT_WINDOWS32;
  info.dwFileType = VFT_APP;
  std::memcpy(block.data() + valueOffset, &info, sizeof(info));
  return block;
}

// A copy of this test program carrying the given file version.
inline bool MakeVersionedFile(const std::string& path, DWORD most, DWORD least) {
  char self[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, self, sizeof(self));
  if (length == 0 || length >= sizeof(self)) return false;
  if (!CopyFileA(self, path.c_str(), FALSE)) return false;
  HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
  if (!update) return false;
  std::vector<BYTE> block = VersionBlock(most, least);
  BOOL ok = UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
                            MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), block.data(),
                            static_cast<DWORD>(block.size()));
  return EndUpdateResourceA(update, !ok) && ok;
}

// A last-write time on a given day, midnight UTC.
inline FILETIME Day(WORD year, WORD month, WORD day) {
  SYSTEMTIME st = {};
  st.wYear = year;
  st.wMonth = month;
  st.wDay = day;
  FILETIME ft = {};
  SystemTimeToFileTime(&st, &ft);
  return ft;
}

inline bool SetWriteTime(const std::string& path, FILETIME time) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BOOL ok = SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
  return ok != FALSE;
}

inline bool WriteTimeIs(const std::string& path, FILETIME expected) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
         CompareFileTime(&data.ftLastWriteTime, &expected) == 0;
}

// A whole section of a script, key -> value; a line without "=" maps to
// "(no =)".
using Entries = std::map<std::string, std::string>;
inline Entries Section(const std::string& script, const char* section) {
  std::vector<char> buffer(65536);
  DWORD n = GetPrivateProfileSectionA(section, buffer.data(), static_cast<DWORD>(buffer.size()),
                                      script.c_str());
  Entries entries;
  for (const char* line = buffer.data(); line < buffer.data() + n && *line;
       line += std::strlen(line) + 1) {
    std::string text(line);
    size_t eq = text.find('=');
    entries[text.substr(0, eq)] = eq == std::string::npos ? "(no =)" : text.substr(eq + 1);
  }
  return entries;
}

// A file another process holds open without sharing, for the test's span.
struct HeldOpen {
  HANDLE h;
  explicit HeldOpen(const std::string& path)
      : h(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldOpen() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;
};

// Watches the test's own thread for message boxes until Stop. A box that
// appears is counted, its text kept, and it is cancelled, so that a wrongly
// asked question fails the test instead of hanging it.
class MessageBoxWatch {
 public:
  MessageBoxWatch() : thread_(GetCurrentThreadId()) {
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    watcher_ = CreateThread(nullptr, 0, &MessageBoxWatch::Run, this, 0, nullptr);
  }
  ~MessageBoxWatch() {
    Stop();
    CloseHandle(watcher_);
    CloseHandle(stop_);
  }
  // Ends the watch; Count and LastText are read after it.
  void Stop() {
    SetEvent(stop_);
    WaitForSingleObject(watcher_, INFINITE);
  }
  MessageBoxWatch(const MessageBoxWatch&) = delete;
  MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

  int Count() const { return count_; }
  const std::string& LastText() const { return text_; }

 private:
  static DWORD WINAPI Run(void* self) {
    auto* watch = static_cast<MessageBoxWatch*>(self);
    while (WaitForSingleObject(watch->stop_, 20) == WAIT_TIMEOUT) {
      HWND box = nullptr;
      while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
        if (GetWindowThreadProcessId(box, nullptr) != watch->thread_ || !IsWindowVisible(box))
          continue;
        char text[1024] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        watch->text_ = text;
        ++watch->count_;
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        Sleep(100);  // let the box go before looking again
      }
    }
    return 0;
  }

  DWORD thread_;
  HANDLE stop_ = nullptr;
  HANDLE watcher_ = nullptr;
  int count_ = 0;
  std::string text_;
};

}  // namespace install_test
