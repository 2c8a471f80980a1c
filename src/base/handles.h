// Small owners that close what an operation opened on every path out of it.
#pragma once
#include <windows.h>
#include <shlobj.h>

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

// A COM interface pointer, released on every path out of the operation that
// obtained it. Out() hands its slot to a creating or querying call.
template <typename Interface>
struct ScopedComPtr {
  Interface* p = nullptr;
  ScopedComPtr() = default;
  ScopedComPtr(const ScopedComPtr&) = delete;
  ScopedComPtr& operator=(const ScopedComPtr&) = delete;
  ~ScopedComPtr() { Release(); }
  Interface* operator->() const { return p; }
  void** Out() {
    Release();
    return reinterpret_cast<void**>(&p);
  }
  void Release() {
    if (p) p->Release();
    p = nullptr;
  }
};

// An item identifier list the shell allocated; freed with the shell's own
// allocator.
struct ScopedItemIdList {
  LPITEMIDLIST p = nullptr;
  ScopedItemIdList() = default;
  ScopedItemIdList(const ScopedItemIdList&) = delete;
  ScopedItemIdList& operator=(const ScopedItemIdList&) = delete;
  ~ScopedItemIdList() {
    if (!p) return;
    ScopedComPtr<IMalloc> allocator;
    if (SHGetMalloc(reinterpret_cast<IMalloc**>(allocator.Out())) == S_OK) allocator->Free(p);
  }
};

// A file search opened with FindFirstFileA; FindClose ends it, not
// CloseHandle.
struct ScopedFindHandle {
  HANDLE h = INVALID_HANDLE_VALUE;
  ScopedFindHandle() = default;
  explicit ScopedFindHandle(HANDLE handle) : h(handle) {}
  ScopedFindHandle(const ScopedFindHandle&) = delete;
  ScopedFindHandle& operator=(const ScopedFindHandle&) = delete;
  ~ScopedFindHandle() { Close(); }
  bool Valid() const { return h != INVALID_HANDLE_VALUE; }
  void Close() {
    if (Valid()) FindClose(h);
    h = INVALID_HANDLE_VALUE;
  }
};
