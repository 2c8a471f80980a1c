// The interactive uninstaller moves out of the way of its own file: it runs
// again from a copy in the temporary folder, which deletes the installed
// uninstaller at the uninstall's end.
#pragma once

// Copies the running file to LFUninst.exe in a new private folder under the
// temporary folder and starts the copy with an inheritable handle of this
// process and the running file's path. Returns 1 when the copy runs, 0
// otherwise (nothing is left in the temporary folder then).
int RelaunchFromTemp(const char* runningPath);

// In the copy: waits without time-out for the process behind the handle
// value (not when the first process waits for the copy: "/WAIT", "/LOG=").
// The installed uninstaller stays until the uninstall's last steps: until
// then it is what the uninstall entry starts to finish an uninstall that was
// ended on the way.
void FinishRelocation(const char* handleText, const char* installedPath);

// In the copy, when no product is recorded: the installed uninstaller it was
// started for goes, as it has nothing left to remove; only when that path
// is the Windows folder's LFUninst.exe (no other path is ever deleted).
void DeleteUninstallerOfNoProduct();

// In the copy: its private folder is scheduled for deletion at the next
// restart, when it runs from one.
void ScheduleCopyFolderRemoval();
