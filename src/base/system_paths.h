// Paths the program builds from the system: its own file, and files in the
// Windows folder. Both leave out empty and return 0 rather than give a path
// that was cut.
#pragma once
#include <cstddef>

// The running program's full path.
int GetOwnPath(char* out, size_t size);

// The folder the package's setup script and licence are read from, with its
// final backslash: the program's own, or, for a single-file download, the
// private folder its start put them in (SetPackageFolder).
int GetPackageFolder(char* out, size_t size);
void SetPackageFolder(const char* folder);

// <Windows folder>\<relative>.
int BuildWindowsPath(const char* relative, char* out, size_t size);

// <system folder>\<relative>: where Windows keeps its own programs and
// libraries, which only administrators can change.
int BuildSystemPath(const char* relative, char* out, size_t size);
