#include "uninstall/restart_delete.h"

#include <windows.h>
#include <cstring>

#include "base/globals.h"
#include "base/handles.h"
#include "base/heap_text.h"
#include "base/names.h"
#include "base/run_log.h"
#include "base/system_paths.h"
#include "base/text_util.h"
#include "base/tree_entry.h"
#include "install/script_files.h"
#include "registry/file_types.h"
#include "uninstall/removal_logic.h"

namespace {

const char kWininitName[] = "WININIT.INI";
const char kRenameSection[] = "rename";
// WININIT runs before Windows, in real mode: it takes short names only.
const char kDeleteLineFormat[] = "NUL=%s";

int ScheduleInWininit(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
  char wininit[kPathSize];
  char shortPath[kPathSize];
  char line[kPathSize + 8];
  DWORD shortLength = GetShortPathNameA(path, shortPath, sizeof(shortPath));
  if (shortLength == 0 || shortLength >= sizeof(shortPath) ||
      !BuildWindowsPath(kWininitName, wininit, sizeof(wininit)) ||
      !FormatBounded(line, sizeof(line), kDeleteLineFormat, shortPath))
    return 0;
  // Every line of the section is "NUL=..." (or a rename): the keys repeat, so
  // the section is read and written whole instead of key by key, which
  // would keep only the last "NUL".
  SectionText section;
  if (!ReadSection(wininit, kRenameSection, &section)) return 0;
  size_t lineSize = strlen(line) + 1;
  HeapText grown(section.length + lineSize + 1);
  if (!grown) return 0;
  memcpy(grown.get(), section.text.get(), section.length);
  memcpy(grown.get() + section.length, line, lineSize);
  grown[section.length + lineSize] = '\0';
  return WritePrivateProfileSectionA(kRenameSection, grown.get(), wininit) ? 1 : 0;
}

}  // namespace

int DeleteInstalledFile(const char* path) {
  if (DeleteFileA(path)) return 1;
  DWORD error = GetLastError();
  DWORD attributes = GetFileAttributesA(path);
  if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
      !(attributes & FILE_ATTRIBUTE_READONLY) ||
      !SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY)) {
    SetLastError(error);
    return 0;
  }
  return DeleteFileA(path) ? 1 : 0;
}

int DeleteAtRestart(const char* path, int partOfRun) {
  int scheduled = IsWindowsNT() ? MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0
                                : ScheduleInWininit(path);
  LogLine("%s at restart: %s", scheduled ? "deletion scheduled" : "deletion not scheduled", path);
  if (scheduled && partOfRun) g_restartScheduled = 1;
  return scheduled;
}

void DeleteTreeAtRestart(const char* folder) {
  char pattern[kPathSize];
  WIN32_FIND_DATAA entry;
  ScopedFindHandle search;
  if (FormatBounded(pattern, sizeof(pattern), "%s\\*", folder)) search.h = FindFirstFileA(pattern, &entry);
  for (BOOL more = search.Valid(); more; more = FindNextFileA(search.h, &entry)) {
    TreeEntryAction action = ChooseTreeEntryAction(entry.cFileName, entry.dwFileAttributes);
    char path[kPathSize];
    if (action == kTreeSkip || !FormatBounded(path, sizeof(path), "%s\\%s", folder, entry.cFileName)) continue;
    if (action == kTreeDescend)
      DeleteTreeAtRestart(path);
    else
      DeleteAtRestart(path, 1);
  }
  search.Close();
  DeleteAtRestart(folder, 1);
}

int DeleteFileAtRestart(const char* path, const char* topFolder) {
  int scheduled = DeleteAtRestart(path, 1);
  size_t top = topFolder ? strlen(topFolder) : 0;
  if (top == 0 || strncmp(path, topFolder, top) != 0 || path[top] != '\\') return scheduled;
  char folder[kPathSize];
  if (!CopyBounded(path, folder, sizeof(folder))) return scheduled;
  for (char* slash = strrchr(folder, '\\'); slash && static_cast<size_t>(slash - folder) >= top;
       slash = strrchr(folder, '\\')) {
    *slash = '\0';
    // Never a drive or share root, whatever the top folder names.
    if (!IsRemovableFolderPath(folder)) return scheduled;
    DeleteAtRestart(folder, 1);
  }
  return scheduled;
}
