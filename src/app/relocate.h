// The interactive uninstaller moves out of the way of its own file: it runs
// again from a copy in the temporary folder, and the copy deletes the
// installed uninstaller once the first process has ended.
#pragma once

// Copies the running file to LFUninst.exe in a new private folder under the
// temporary folder and starts the copy with an inheritable handle of this
// process and the running file's path. Returns 1 when the copy runs, 0
// otherwise (nothing is left in the temporary folder then).
int RelaunchFromTemp(const char* runningPath);

// In the copy: waits without time-out for the process behind the handle
// value, then deletes the installed uninstaller, when that path is the
// Windows folder's LFUninst.exe (no other path is ever deleted). Failures
// are not reported: the uninstall goes on regardless.
void FinishRelocation(const char* handleText, const char* installedPath);

// In the copy: its private folder is scheduled for deletion at the next
// restart, when it runs from one.
void ScheduleCopyFolderRemoval();
