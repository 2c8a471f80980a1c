// The unattended switches "/S", "/LOG=" and "/D=" (their fixed answers and
// exit codes are base/ask_user's).
#pragma once
#include <windows.h>

// Takes the unattended switches out of the argument vector (the count is
// updated) and opens the log they ask for. Sets g_silent and
// g_destinationSwitch.
enum SwitchResult { kSwitchesTaken, kSwitchBad, kSwitchLogNotWritable };
SwitchResult TakeSwitchesAndOpenLog(int* argc, char** argv);

// In the relocated uninstaller, after the first process has ended: opens
// the log it was given for appending. Without one, does nothing.
void OpenRelocatedLog();
