// Run-mode decisions taken from the program's file name and its arguments.
// No Win32 here: built and tested natively too.
#pragma once
#include <cstddef>

// 1 when the file name of the full path (after its last backslash) is the
// uninstaller's, in any letter case; 0 otherwise or without a backslash.
int IsUninstallerPath(const char* fullPath);

// 1 when the last of the arguments after the program name equals the switch
// (ASCII case folded). argc counts the program name, as the runtime does.
int LastArgumentIs(int argc, char** argv, const char* switchText);

// How an uninstall run starts, from its argument count and quiet flag.
enum UninstallStart {
  kAskAndRelocate,   // interactive: confirm, then continue from a temporary copy
  kRunInPlace,       // the single "\s": quiet, no question, no relocation
  kFinishRelocation  // the temporary copy: wait for the first process
};
UninstallStart ChooseUninstallStart(int argc, int quiet);

// The handle value on the relocated copy's command line: decimal, optional
// sign, leading blanks skipped, ends at the first non-digit. Values that do
// not fit a 32-bit int are clamped instead of overflowing.
long ParseHandleValue(const char* text);

// The relocated copy's command line: the copy's path (quoted, so that a
// temporary folder with blanks keeps the words in place), the handle value
// and the running file's path in quotes. Returns 0, with out empty, when it
// does not fit.
int BuildRelocationCommand(char* out, size_t size, const char* copyPath,
                           long handleValue, const char* runningPath);
