#include "install/script_store.h"

#include <cstring>

#include "base/file_io.h"
#include "base/file_replace.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/names.h"
#include "base/run_log.h"
#include "base/text_util.h"

namespace {

// A script larger than this is no script of this program's.
const DWORD kMaxScriptSize = 64u << 20;

// The scripts this run has read: the uninstall script and the older log.
struct CachedScript {
  char path[kPathSize] = "";
  ProfileText text;
  int readable = 0;
};
CachedScript g_scripts[2];
int g_nextSlot = 0;

// 1 with the file's text parsed into text; a missing file gives an empty
// text. 0 when it is there but cannot be read whole.
int Load(const char* path, ProfileText* text) {
  ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    DWORD error = GetLastError();
    text->Clear();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.h, &size) || size.QuadPart > kMaxScriptSize) return 0;
  DWORD length = static_cast<DWORD>(size.QuadPart);
  HeapText bytes(length + 1);
  return bytes && ReadFileAt(file.h, 0, bytes.get(), length) && ParseProfileText(bytes.get(), length, text);
}

CachedScript* Cached(const char* path) {
  for (CachedScript& s : g_scripts)
    if (s.path[0] && EqualsNoCase(s.path, path)) return &s;
  return nullptr;
}

}  // namespace

ProfileText* ScriptText(const char* path) {
  CachedScript* script = Cached(path);
  if (!script) {
    script = &g_scripts[g_nextSlot];
    g_nextSlot = (g_nextSlot + 1) % 2;
    if (!CopyBounded(path, script->path, sizeof(script->path))) {
      script->path[0] = '\0';
      return nullptr;
    }
    script->readable = Load(path, &script->text);
    if (!script->readable) LogLine("script cannot be read: %s", path);
  }
  return script->readable ? &script->text : nullptr;
}

int SaveScript(const char* path) {
  ProfileText* text = ScriptText(path);
  HeapText bytes;
  size_t length = 0;
  if (text && WriteProfileText(*text, &bytes, &length) && WriteWholeFile(path, bytes.get(), static_cast<DWORD>(length)))
    return 1;
  LogLine("script not written: %s", path);
  // What is in memory is then what the file holds: the change is dropped.
  CachedScript* script = Cached(path);
  if (script) script->readable = Load(path, &script->text);
  return 0;
}

int DeleteScript(const char* path) {
  char partial[kPathSize];
  if (BuildPartialName(path, partial, sizeof(partial))) DeleteFileA(partial);
  int gone = DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND;
  CachedScript* script = Cached(path);
  if (gone && script) {
    script->text.Clear();
    script->readable = 1;
  }
  return gone;
}

DWORD ReadScriptString(const char* path, const char* section, const char* key, const char* fallback, char* out,
                       DWORD size) {
  ProfileText* text = ScriptText(path);
  if (text) return static_cast<DWORD>(ReadProfileValue(text, section, key, fallback, out, size));
  // Unreadable: every value reads as its default, as from a missing file
  // (cut to the buffer, as a read cuts it).
  if (size == 0) return 0;
  size_t length = strlen(fallback);
  if (length > size - 1) length = size - 1;
  memcpy(out, fallback, length);
  out[length] = '\0';
  return static_cast<DWORD>(length);
}

int ReadScriptSection(const char* path, const char* section, SectionText* out) {
  ProfileText* text = ScriptText(path);
  size_t length = 0;
  out->length = 0;
  if (!text || !ReadProfileSectionText(text, section, &out->text, &length)) return 0;
  out->length = static_cast<DWORD>(length);
  return 1;
}

int WriteScriptString(const char* path, const char* section, const char* key, const char* value) {
  ProfileText* text = ScriptText(path);
  return text && SetProfileValue(text, section, key, value) && SaveScript(path);
}

void ReadUnfinishedRun(const char* path, const char* productKey, char* out, DWORD size) {
  ReadScriptString(path, kSectionUnfinished, productKey, "", out, size);
}

int SetUnfinishedRun(ProfileText* text, const char* productKey, const char* what) {
  if (!SetProfileValue(text, kSectionUnfinished, productKey, what)) return 0;
  size_t length = 0;
  HeapText entries;
  if (!what && ReadProfileSectionText(text, kSectionUnfinished, &entries, &length) && length == 0)
    SetProfileValue(text, kSectionUnfinished, nullptr, nullptr);
  return 1;
}
