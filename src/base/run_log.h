// The run's plain-text log ("/LOG=file"): one line per step: files copied or
// kept and why, registry values written or deleted, links made, programs
// started, questions and their answers, and the exit code. Without the
// switch every call does nothing.
#pragma once
#include <windows.h>

// Creates the log (append != 0: adds to it, as the relocated uninstaller
// does after the first process). 0 when the file cannot be written.
int OpenRunLog(const char* path, int append);

// One line, printf-style; longer lines are cut at 1023 characters.
void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The root key's short name ("HKLM", "HKCU", "HKCR") for registry lines.
const char* RootName(HKEY root);

// The open log's path, or "" without one.
const char* RunLogPath();

void CloseRunLog();
