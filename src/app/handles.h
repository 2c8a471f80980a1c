// Small owners that close what an operation opened on every path out of it.
#pragma once
#include <windows.h>

// A kernel object handle (file, process, thread). Both null and
// INVALID_HANDLE_VALUE mean "nothing open".
struct ScopedHandle {
  HANDLE h = nullptr;
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : h(handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { Close(); }
  bool Valid() const { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  void Close() {
    if (Valid()) CloseHandle(h);
    h = nullptr;
  }
};

// Both handles of a started process.
struct ScopedProcessInfo {
  PROCESS_INFORMATION pi = {};
  ScopedProcessInfo() = default;
  ScopedProcessInfo(const ScopedProcessInfo&) = delete;
  ScopedProcessInfo& operator=(const ScopedProcessInfo&) = delete;
  ~ScopedProcessInfo() {
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
  }
};

// An open registry key.
struct ScopedKey {
  HKEY h = nullptr;
  ScopedKey() = default;
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() { Close(); }
  void Close() {
    if (h) RegCloseKey(h);
    h = nullptr;
  }
};
