// Start-and-wait steps with other programs. Every command line names its
// program by a full path in quotes: unquoted, "C:\Program Files\..." would
// first start a "C:\Program.exe" that any user could have put there.
#pragma once
#include <windows.h>

// Starts commandLine (no application name, handles inherited, the inherited
// environment, currentDir as the child's folder or the own one when null).
// When it started, opens the child again by its id with SYNCHRONIZE and waits
// for it at most waitMs without letting queued messages end the wait.
// Returns 1 when the program started, 0 otherwise; the wait's outcome is not
// reported. commandLine must be writable, as CreateProcessA requires.
int StartAndWaitForExit(char* commandLine, const char* currentDir, DWORD waitMs);

// The same, but the program runs as the user signed in to the desktop, not
// with this program's administrator rights: it is started as a child of the
// desktop's shell, whose rights it then has (Windows Vista and later). With
// no desktop shell, or on a Windows without that way of starting, it is
// started as StartAndWaitForExit starts it, and the log says so. For the
// web-facing viewer started after the install.
int StartAsDesktopUserAndWait(char* commandLine, const char* currentDir, DWORD waitMs);

// Starts commandLine the same way (current folder: the own one) and, when it
// started, waits until it is idle for input, at most waitMs (INFINITE for no
// limit). Returns 1 when the program started.
int StartAndWaitForIdle(char* commandLine, DWORD waitMs);

// Starts commandLine the same way and waits for its end without time-out.
// 1 with its exit code in *exitCode when it started and ended.
int StartAndWaitForExitCode(char* commandLine, DWORD* exitCode);
