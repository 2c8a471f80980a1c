// Start-and-wait steps with other programs.
#pragma once
#include <windows.h>

// Starts commandLine (no application name, handles inherited, the inherited
// environment, currentDir as the child's folder or the own one when null).
// When it started, opens the child again by its id with SYNCHRONIZE and waits
// for it at most waitMs without letting queued messages end the wait.
// Returns 1 when the program started, 0 otherwise; the wait's outcome is not
// reported. commandLine must be writable, as CreateProcessA requires.
int StartAndWaitForExit(char* commandLine, const char* currentDir, DWORD waitMs);

// Starts commandLine the same way (current folder: the own one) and, when it
// started, waits until it is idle for input, at most waitMs (INFINITE for no
// limit). Returns 1 when the program started.
int StartAndWaitForIdle(char* commandLine, DWORD waitMs);
