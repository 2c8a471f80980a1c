#include "base/folder_tree.h"

#include <windows.h>

#include "base/globals.h"
#include "base/handles.h"
#include "base/progress_window.h"
#include "base/run_log.h"
#include "base/text_util.h"
#include "base/tree_entry.h"

namespace {

const char kAllFilesPattern[] = "*.*";

}  // namespace

unsigned long long CountTreeFiles(const char* folder) {
  char pattern[kPathSize];
  if (!FormatBounded(pattern, sizeof(pattern), "%s\\%s", folder, kAllFilesPattern)) return 0;
  WIN32_FIND_DATAA entry;
  ScopedFindHandle search(FindFirstFileA(pattern, &entry));
  if (!search.Valid()) return 0;
  unsigned long long count = 0;
  do {
    TreeEntryAction action = ChooseTreeEntryAction(entry.cFileName, entry.dwFileAttributes);
    char path[kPathSize];
    if (action == kTreeDeleteFile)
      ++count;
    else if (action == kTreeDescend && FormatBounded(path, sizeof(path), "%s\\%s", folder, entry.cFileName))
      count += CountTreeFiles(path);
  } while (FindNextFileA(search.h, &entry));
  return count;
}

int DeleteFolderTree(const char* folder) {
  char pattern[kPathSize];
  if (!FormatBounded(pattern, sizeof(pattern), "%s\\%s", folder, kAllFilesPattern)) return 0;
  WIN32_FIND_DATAA entry;
  ScopedFindHandle search(FindFirstFileA(pattern, &entry));
  if (!search.Valid()) return 0;
  do {
    TreeEntryAction action = ChooseTreeEntryAction(entry.cFileName, entry.dwFileAttributes);
    // An entry whose path does not fit stays (never cut into another name);
    // the folder then stays too.
    char path[kPathSize];
    if (action == kTreeSkip || !FormatBounded(path, sizeof(path), "%s\\%s", folder, entry.cFileName))
      continue;
    if (action == kTreeDeleteFile) {
      ProgressItem(path);
      ProgressAdvance(1);
      DeleteFileA(path);
    }
    else if (action == kTreeRemoveLink)
      RemoveDirectoryA(path);
    else
      DeleteFolderTree(path);
  } while (FindNextFileA(search.h, &entry));
  DWORD error = GetLastError();
  search.Close();
  if (error != ERROR_NO_MORE_FILES) return 0;
  if (!RemoveDirectoryA(folder)) return 0;
  LogLine("folder deleted: %s", folder);
  return 1;
}
