// Unattended runs: the switches "/S", "/LOG=" and "/D=", the fixed answers
// of a silent setup and its exit code.
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

// MessageBoxA, logged with its answer; a silent setup shows nothing and
// answers silentAnswer.
int AskUser(HWND owner, const char* text, const char* caption, UINT type, int silentAnswer);

// Records the kind of a failure (the first one counts) as the exit code of
// a silent setup.
void NoteFailure(int exitCode);

// Ends the run's log with the exit code and closes it. Returns the code the
// process ends with: a silent setup's failure kind, otherwise the given code.
int FinishRun(int exitCode);
