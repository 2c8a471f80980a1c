#include "app/relocate.h"

#include <windows.h>

#include "app/private_folder.h"
#include "app/run_mode_logic.h"
#include "app/unattended.h"
#include "base/ask_user.h"
#include "base/file_replace.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/names.h"
#include "base/process_util.h"
#include "base/run_log.h"
#include "base/system_paths.h"
#include "base/text_util.h"
#include "uninstall/restart_delete.h"

namespace {

// The temporary copy's folder: "LFU" and 16 random hex digits.
const char kCopyFolderPrefix[] = "LFU";

// Starts the copy with an inheritable handle of this process and the running
// file's path, and waits until it is idle; when the caller waits for the
// outcome ("/WAIT", "/LOG="), until it has ended, taking its exit code as
// this run's. 1 when it ran.
int StartCopy(const char* copyPath, const char* runningPath) {
  ScopedHandle self(OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId()));
  if (!self.Valid()) return 0;

  // The command line must fit 260 bytes; a longer one fails the relocation
  // rather than starting the copy with a cut path.
  char commandLine[kPathSize];
  long handleValue = static_cast<long>(reinterpret_cast<INT_PTR>(self.h));
  if (!BuildRelocationCommand(commandLine, sizeof(commandLine), copyPath, handleValue, runningPath)) return 0;

  // The log switch goes on to the copy, which adds to the same log, and so
  // does the wait: the copy then knows this process is still there.
  char full[3 * kPathSize + 16];
  if (!FormatBounded(full, sizeof(full), "%s%s%s%s%s", commandLine, RunLogPath()[0] ? " \"/LOG=" : "",
                     RunLogPath(), RunLogPath()[0] ? "\"" : "", g_waitForCopy ? " /WAIT" : ""))
    return 0;
  // Inherited handles make the process handle's value valid in the copy.
  if (!g_waitForCopy) return StartAndWaitForIdle(full, 1000);
  DWORD code = 0;
  if (!StartAndWaitForExitCode(full, &code)) return 0;
  NoteRelayedExitCode(static_cast<int>(code));
  return 1;
}

}  // namespace

int RelaunchFromTemp(const char* runningPath) {
  // A folder of the copy's own, which no other user can write into: a fixed
  // name in the temporary folder could be made beforehand by anyone, with a
  // library beside it that the copy, an administrator's program, would load.
  char folder[kPathSize], copyPath[kPathSize];
  if (!MakePrivateTempFolder(kCopyFolderPrefix, folder, sizeof(folder))) return 0;
  int started = 0;
  // The copy must be writable for the delete-on-close open below: an
  // uninstaller installed from a read-only medium copies read-only.
  if (FormatBounded(copyPath, sizeof(copyPath), "%s\\%s", folder, kUninstallerFileName) &&
      CopyReplacing(runningPath, copyPath)) {
    // Delete-on-close: the copy goes away once its last handle closes, which
    // is after the copy itself has finished running.
    ScopedHandle copyFile(CreateFileA(copyPath, 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    started = copyFile.Valid() && StartCopy(copyPath, runningPath);
  }
  if (!started) RemovePrivateFolder(folder);
  return started;
}

namespace {
// The Windows folder's uninstaller when this copy was started for it.
char g_installedUninstaller[kPathSize] = "";
}  // namespace

void FinishRelocation(const char* handleText, const char* installedPath) {
  long value = ParseHandleValue(handleText);
  // Negative values are the pseudo-handles of this very process and thread:
  // waiting on them would never end, so only real handle values are waited on.
  if (value > 0) {
    HANDLE firstProcess = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(value));
    if (!g_waitForCopy) WaitForSingleObject(firstProcess, INFINITE);
    CloseHandle(firstProcess);
  }
  // A first process that waits for this copy runs from the installed
  // uninstaller: the uninstall's end schedules that file for the restart.
  if (g_waitForCopy) return;
  // Only the Windows folder's own uninstaller: whoever starts this program
  // with a path on its command line must not get an administrator's
  // deletion of any other file.
  char installed[kPathSize];
  if (BuildWindowsPath(kUninstallerFileName, installed, sizeof(installed)) &&
      EqualsNoCase(installedPath, installed))
    CopyBounded(installed, g_installedUninstaller, sizeof(g_installedUninstaller));
}

void DeleteUninstallerOfNoProduct() {
  if (g_installedUninstaller[0]) DeleteInstalledFile(g_installedUninstaller);
}

void ScheduleCopyFolderRemoval() {
  char own[kPathSize], folder[kPathSize];
  if (!GetOwnPath(own, sizeof(own)) || !CopyBounded(own, folder, sizeof(folder))) return;
  char* name = const_cast<char*>(AfterLastBackslash(folder));
  if (!name) return;
  name[-1] = '\0';
  if (!IsPrivateTempFolder(folder, kCopyFolderPrefix)) return;
  // The copy's file goes when it has run, as it was opened delete-on-close,
  // and at the restart in any case; its folder, which cannot go while the
  // copy runs from it, goes at the restart after it.
  DeleteAtRestart(own, 0);
  DeleteAtRestart(folder, 0);
}
