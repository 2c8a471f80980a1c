#include "base/code_page.h"

#include <windows.h>

#include <cstring>

#include "base/file_io.h"
#include "base/file_replace.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/run_log.h"
#include "base/text_util.h"

namespace {

// The system's own ANSI code page, which the manifest's UTF-8 replaces for
// this program only: the one text written before then, or by other programs,
// is in.
UINT OldCodePage() {
  char number[16];
  if (!GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, number, sizeof(number))) return CP_ACP;
  UINT page = static_cast<UINT>(strtoul(number, nullptr, 10));
  return page ? page : CP_ACP;
}

// bytes from one code page into another, zero-terminated, through UTF-16.
int Recode(const char* bytes, size_t length, UINT from, UINT to, HeapText* out) {
  if (length == 0) {
    out->reset(1);
    if (!*out) return 0;
    (*out)[0] = '\0';
    return 1;
  }
  int wide = MultiByteToWideChar(from, 0, bytes, static_cast<int>(length), nullptr, 0);
  HeapText utf16(static_cast<size_t>(wide) * sizeof(WCHAR));
  if (wide <= 0 || !utf16) return 0;
  LPWSTR text = reinterpret_cast<LPWSTR>(utf16.get());
  MultiByteToWideChar(from, 0, bytes, static_cast<int>(length), text, wide);
  int narrow = WideCharToMultiByte(to, 0, text, wide, nullptr, 0, nullptr, nullptr);
  out->reset(static_cast<size_t>(narrow) + 1);
  if (narrow <= 0 || !*out) return 0;
  WideCharToMultiByte(to, 0, text, wide, out->get(), narrow, nullptr, nullptr);
  (*out)[narrow] = '\0';
  return 1;
}

int Copy(const char* bytes, size_t length, HeapText* out) {
  out->reset(length + 1);
  if (!*out) return 0;
  memcpy(out->get(), bytes, length);
  (*out)[length] = '\0';
  return 1;
}

int ReadWhole(const char* path, HeapText* bytes, DWORD* length) {
  ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.Valid()) return 0;
  DWORD size = GetFileSize(file.h, nullptr);
  if (size == INVALID_FILE_SIZE) return 0;
  bytes->reset(size + 1);
  return *bytes && ReadFile(file.h, bytes->get(), size, length, nullptr);
}

}  // namespace

int ToProgramCodePage(const char* bytes, size_t length, HeapText* out) {
  size_t bom = Utf8BomLength(bytes, length);
  bytes += bom;
  length -= bom;
  int utf8 = bom || IsValidUtf8(bytes, length);
  if (!HasNonAscii(bytes, length)) return Copy(bytes, length, out);
  if (GetACP() == CP_UTF8)
    return utf8 ? Copy(bytes, length, out) : Recode(bytes, length, OldCodePage(), CP_UTF8, out);
  // A Windows that runs the program in its old code page: UTF-8 text is
  // brought into it; text already in it stays.
  return utf8 ? Recode(bytes, length, CP_UTF8, CP_ACP, out) : Copy(bytes, length, out);
}

int ConvertOldCodePageScript(const char* path) {
  UINT old = OldCodePage();
  if (GetACP() != CP_UTF8 || old == CP_UTF8 || old == CP_ACP) return 1;
  HeapText bytes;
  DWORD length = 0;
  if (!ReadWhole(path, &bytes, &length)) return 1;
  // UTF-16 with its mark is read as such by the profile functions.
  if (length >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
    return 1;
  if (IsValidUtf8(bytes.get(), length)) return 1;
  HeapText converted;
  // Written under its partial name first and then renamed over it, so that
  // a failure or an end half way leaves the script as it was.
  if (!Recode(bytes.get(), length, old, CP_UTF8, &converted) ||
      !WriteWholeFile(path, converted.get(), static_cast<DWORD>(strlen(converted.get())))) {
    LogLine("script not converted to UTF-8: %s", path);
    return 0;
  }
  LogLine("script converted from code page %u to UTF-8: %s", old, path);
  return 1;
}
