// The unattended switches "/S", "/LOG=", "/D=" and the uninstaller's
// "/WAIT" (their fixed answers and exit codes are base/ask_user's).
#pragma once
#include <windows.h>

// An interactive uninstall started with "/WAIT" or "/LOG=": the first
// process waits for its relocated copy and ends with the copy's exit code,
// and the copy (which gets "/WAIT" too) does not wait for the first process.
extern int g_waitForCopy;

// Takes the unattended switches out of the argument vector (the count is
// updated) and opens the log they ask for. Sets g_silent, g_codedExit,
// g_waitForCopy and g_destinationSwitch.
enum SwitchResult { kSwitchesTaken, kSwitchBad, kSwitchLogNotWritable };
SwitchResult TakeSwitchesAndOpenLog(int* argc, char** argv);

// In the relocated uninstaller, after the first process has ended: opens
// the log it was given for appending. Without one, does nothing.
void OpenRelocatedLog();
