#include "app/private_folder.h"

#include <windows.h>
#include <sddl.h>

#include <cstring>

#include "base/folder_tree.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/heap_text.h"
#include "base/run_log.h"
#include "base/system_library.h"
#include "base/text_util.h"
#include "registry/file_types.h"
#include "uninstall/restart_delete.h"

namespace {

const char kSecurityLibrary[] = "advapi32.dll";
// Full access for SYSTEM, the Administrators and the user (filled in), passed
// on to everything made inside; nothing inherited from the temporary folder.
const char kPrivateSecurityFormat[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;%s)";
const int kRandomDigits = 16;
const int kNameTries = 16;
const int kRemoveTries = 50;
const DWORD kRemoveWaitMs = 100;

typedef BOOLEAN(WINAPI* GenRandomFn)(PVOID, ULONG);
typedef BOOL(WINAPI* SidToStringFn)(PSID, LPSTR*);
typedef BOOL(WINAPI* StringToDescriptorFn)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);

// A security descriptor from LocalAlloc, freed with LocalFree.
struct ScopedLocal {
  void* p = nullptr;
  ScopedLocal() = default;
  ScopedLocal(const ScopedLocal&) = delete;
  ScopedLocal& operator=(const ScopedLocal&) = delete;
  ~ScopedLocal() {
    if (p) LocalFree(p);
  }
};

// 64 unpredictable bits from the system's generator; where a Windows has
// none (before XP), the clock, counters and ids mixed.
unsigned long long RandomBits() {
  unsigned long long bits = 0;
  GenRandomFn generate = FunctionAs<GenRandomFn>(SystemFunction(kSecurityLibrary, "SystemFunction036"));
  if (generate && generate(&bits, sizeof(bits))) return bits;
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  bits = static_cast<unsigned long long>(counter.QuadPart) ^ (static_cast<unsigned long long>(GetTickCount()) << 32) ^
         (static_cast<unsigned long long>(GetCurrentProcessId()) << 16) ^ GetCurrentThreadId();
  // splitmix64's finaliser spreads every input bit over the whole name.
  bits = (bits ^ (bits >> 30)) * 0xbf58476d1ce4e5b9ull;
  bits = (bits ^ (bits >> 27)) * 0x94d049bb133111ebull;
  return bits ^ (bits >> 31);
}

// The running user's SID as text ("S-1-5-21-..."); 0 when it cannot be told.
int UserSidText(char* out, size_t size) {
  SidToStringFn toString = FunctionAs<SidToStringFn>(SystemFunction(kSecurityLibrary, "ConvertSidToStringSidA"));
  ScopedHandle token;
  if (!toString || !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token.h)) return 0;
  DWORD needed = 0;
  GetTokenInformation(token.h, TokenUser, nullptr, 0, &needed);
  HeapText buffer(needed);
  if (!buffer || !GetTokenInformation(token.h, TokenUser, buffer.get(), needed, &needed)) return 0;
  ScopedLocal text;
  if (!toString(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, reinterpret_cast<LPSTR*>(&text.p))) return 0;
  return CopyBounded(static_cast<const char*>(text.p), out, size);
}


int TempFolder(char* out, size_t size) {
  DWORD length = GetTempPathA(static_cast<DWORD>(size), out);
  if (length == 0 || length >= size) {
    if (size) out[0] = '\0';
    return 0;
  }
  return 1;
}

int IsHexDigits(const char* text, int count) {
  for (int i = 0; i < count; ++i)
    if (!strchr("0123456789abcdef", text[i]) || text[i] == '\0') return 0;
  return text[count] == '\0';
}

}  // namespace

void* PrivateFolderSecurity() {
  StringToDescriptorFn convert = FunctionAs<StringToDescriptorFn>(
      SystemFunction(kSecurityLibrary, "ConvertStringSecurityDescriptorToSecurityDescriptorA"));
  char sid[256], text[512];
  void* descriptor = nullptr;
  if (convert && UserSidText(sid, sizeof(sid)) && FormatBounded(text, sizeof(text), kPrivateSecurityFormat, sid) &&
      convert(text, SDDL_REVISION_1, &descriptor, nullptr))
    return descriptor;
  return nullptr;
}

int MakePrivateTempFolder(const char* prefix, char* out, size_t size) {
  char temp[kPathSize];
  if (!TempFolder(temp, sizeof(temp))) {
    if (size) out[0] = '\0';
    return 0;
  }
  ScopedLocal descriptor;
  descriptor.p = PrivateFolderSecurity();
  int secured = descriptor.p != nullptr;
  if (!secured && IsWindowsNT()) {
    // The NT family without the functions to describe the security: NT 4.
    LogLine("private folder security not available: the folder gets the default");
  }
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), secured ? descriptor.p : nullptr, FALSE};
  for (int tries = 0; tries < kNameTries; ++tries) {
    unsigned long long bits = RandomBits();
    if (!FormatBounded(out, size, "%s%s%08lx%08lx", temp, prefix, static_cast<unsigned long>(bits >> 32),
                       static_cast<unsigned long>(bits & 0xffffffffu)))
      break;
    if (CreateDirectoryA(out, &attributes)) return 1;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  CopyBounded(temp, out, size);
  return 0;
}

int IsPrivateTempFolder(const char* folder, const char* prefix) {
  char temp[kPathSize];
  if (!TempFolder(temp, sizeof(temp))) return 0;
  size_t tempLength = strlen(temp), prefixLength = strlen(prefix);
  return strncmp(folder, temp, tempLength) == 0 && strncmp(folder + tempLength, prefix, prefixLength) == 0 &&
         IsHexDigits(folder + tempLength + prefixLength, kRandomDigits);
}

void RemovePrivateFolder(const char* folder) {
  DWORD attributes = GetFileAttributesA(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  // A link put in the folder's place is removed, never walked into.
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    RemoveDirectoryA(folder);
    return;
  }
  for (int tries = 0; !DeleteFolderTree(folder); ++tries) {
    if (tries == kRemoveTries) {
      DeleteTreeAtRestart(folder);
      return;
    }
    Sleep(kRemoveWaitMs);
  }
}

void RemoveLeftoverPrivateFolders(const char* prefix, const char* heldName) {
  char temp[kPathSize], pattern[kPathSize];
  if (!TempFolder(temp, sizeof(temp)) || !FormatBounded(pattern, sizeof(pattern), "%s%s*", temp, prefix)) return;
  WIN32_FIND_DATAA entry;
  ScopedFindHandle search(FindFirstFileA(pattern, &entry));
  if (!search.Valid()) return;
  do {
    char folder[kPathSize], held[kPathSize];
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !FormatBounded(folder, sizeof(folder), "%s%s", temp, entry.cFileName) || !IsPrivateTempFolder(folder, prefix) ||
        !FormatBounded(held, sizeof(held), "%s\\%s", folder, heldName))
      continue;
    // A run that is still going holds its file: its folder stays.
    ScopedHandle probe(CreateFileA(held, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.Valid() && GetLastError() == ERROR_SHARING_VIOLATION) continue;
    probe.Close();
    if (DeleteFolderTree(folder)) LogLine("leftover of an earlier run deleted: %s", folder);
  } while (FindNextFileA(search.h, &entry));
}
