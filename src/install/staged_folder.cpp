#include "install/staged_folder.h"

#include <windows.h>
#include <cstring>

#include "base/file_queries.h"
#include "base/folder_tree.h"
#include "base/globals.h"
#include "base/partial_name.h"
#include "base/run_log.h"
#include "base/text_util.h"

namespace {

// A virus scanner may still hold a file just written, and a folder with an
// open file cannot be renamed: the rename is tried for five seconds.
const int kRenameTries = 50;
const DWORD kRenameWaitMs = 100;

}  // namespace

void DeleteStagedLeftover(const char* folder) {
  char staged[kPathSize];
  // The partial name is this program's own: only an ended run of it writes
  // there, so the folder goes whole.
  if (BuildPartialName(folder, staged, sizeof(staged)) && NameExists(staged)) DeleteFolderTree(staged);
}

int BeginStagedFolder(const char* folder) {
  g_stagedFolder[0] = '\0';
  char staged[kPathSize];
  if (!BuildPartialName(folder, staged, sizeof(staged))) return 0;
  DeleteStagedLeftover(folder);
  // A leftover that could not be deleted (a file of it held open) stays for
  // the uninstaller, and this run writes file by file into the real folder.
  if (NameExists(staged)) {
    LogLine("leftover of an ended run kept (in use): %s", staged);
    return 0;
  }
  if (NameExists(folder)) return 0;
  if (!CopyBounded(folder, g_stagedFolder, sizeof(g_stagedFolder))) return 0;
  LogLine("writing below: %s", staged);
  return 1;
}

int StagedListFolder(const char* destFolder, char* out, size_t size) {
  size_t length = strlen(g_stagedFolder);
  char staged[kPathSize];
  if (length == 0 || strncmp(destFolder, g_stagedFolder, length) != 0 || destFolder[length] != '\\' ||
      !BuildPartialName(g_stagedFolder, staged, sizeof(staged)))
    return 0;
  return FormatBounded(out, size, "%s%s", staged, destFolder + length);
}

int EndStagedFolder() {
  if (g_stagedFolder[0] == '\0') return 1;
  char staged[kPathSize];
  BuildPartialName(g_stagedFolder, staged, sizeof(staged));
  for (int tries = 0;; ++tries) {
    if (MoveFileA(staged, g_stagedFolder)) break;
    DWORD error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || tries == kRenameTries) {
      // The files stay below the partial name, which the next install or
      // the uninstaller deletes: the install fails and says so.
      LogLine("folder not renamed: %s (error %lu)", staged, error);
      g_stagedFolder[0] = '\0';
      return 0;
    }
    Sleep(kRenameWaitMs);
  }
  LogLine("folder renamed: %s", g_stagedFolder);
  g_stagedFolder[0] = '\0';
  return 1;
}
