// Libraries the program loads itself, always from the Windows system folder.
// The program runs as administrator and is started from wherever the user
// downloaded it: a library of the same name lying beside it there (or in the
// temporary folder the uninstaller runs from) must never be loaded.
#pragma once
#include <windows.h>

// Run first in WinMain: later bare-name loads (the shell's and the common
// controls') search the system folder only, and the system libraries they
// load by bare name are loaded now, by full path, so that those loads find
// them already in the process.
void RestrictLibrarySearch();

// LoadLibraryA of <system folder>\name; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// A function of a system library the process already holds (kernel32,
// advapi32, a library loaded earlier): null when this Windows lacks it, so
// that the program still starts on Windows versions before it.
FARPROC SystemFunction(const char* library, const char* name);

// Casts a looked-up function to its type.
template <typename Fn>
Fn FunctionAs(FARPROC address) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
}
