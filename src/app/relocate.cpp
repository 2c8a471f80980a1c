#include "app/relocate.h"

#include <windows.h>

#include "app/run_mode_logic.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/names.h"
#include "base/process_util.h"
#include "base/run_log.h"
#include "base/text_util.h"
#include "install/file_copy.h"
#include "uninstall/restart_delete.h"

int RelaunchFromTemp(const char* runningPath) {
  char copyPath[kPathSize];
  char tempDir[kPathSize];
  DWORD len = GetTempPathA(sizeof(tempDir), tempDir);
  if (len == 0 || len >= sizeof(tempDir)) return 0;
  if (!FormatBounded(copyPath, sizeof(copyPath), "%s%s", tempDir, kUninstallerFileName))
    return 0;

  // The copy must be writable for the delete-on-close open below: an
  // uninstaller installed from a read-only medium copies read-only, and an
  // earlier copy left here may be read-only too.
  if (!CopyReplacing(runningPath, copyPath)) return 0;

  // Delete-on-close: the copy goes away once its last handle closes, which
  // is after the copy itself has finished running.
  ScopedHandle copyFile(CreateFileA(copyPath, 0, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!copyFile.Valid()) return 0;

  ScopedHandle self(OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId()));
  if (!self.Valid()) return 0;

  // The command line must fit 260 bytes; a longer one fails the relocation
  // (the copy is then removed by the delete-on-close handle) rather than
  // starting the copy with a cut path.
  char commandLine[kPathSize];
  long handleValue = static_cast<long>(reinterpret_cast<INT_PTR>(self.h));
  if (!BuildRelocationCommand(commandLine, sizeof(commandLine), copyPath,
                              handleValue, runningPath))
    return 0;

  // The log switch goes on to the copy, which adds to the same log.
  char withLog[3 * kPathSize];
  if (RunLogPath()[0] != '\0' &&
      FormatBounded(withLog, sizeof(withLog), "%s \"/LOG=%s\"", commandLine, RunLogPath())) {
    return StartAndWaitForIdle(withLog, 1000);
  }
  // Inherited handles make the process handle's value valid in the copy.
  return StartAndWaitForIdle(commandLine, 1000);
}

void FinishRelocation(const char* handleText, const char* installedPath) {
  long value = ParseHandleValue(handleText);
  // Negative values are the pseudo-handles of this very process and thread:
  // waiting on them would never end, so only real handle values are waited on.
  if (value > 0) {
    HANDLE firstProcess = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(value));
    WaitForSingleObject(firstProcess, INFINITE);
    CloseHandle(firstProcess);
  }
  DeleteInstalledFile(installedPath);
}
