// The unattended-install switches. No Win32 here: built and tested natively
// too.
#pragma once
#include <cstddef>

enum { kSwitchValueSize = 260 };

// What the unattended switches asked for. Each value is empty when its
// switch was not given.
struct UnattendedSwitches {
  int silent;                             // "/S"
  char logPath[kSwitchValueSize];         // "/LOG=file"
  char destination[kSwitchValueSize];     // "/D=folder"
  int bad;                                // a switch without a usable value
  int wait;                               // "/WAIT" (the uninstaller's): the caller waits for the outcome
};

// Takes "/S", "/LOG=file", in setup mode "/D=folder", and in uninstall mode
// "/WAIT" out of the argument vector, keeping the order of the other
// arguments, so that the run-mode switches still find their last argument. Returns the new count
// (the program name still counts). "/D=" takes the rest of the raw command
// line, blanks included, as installers commonly do; it must come last.
int TakeUnattendedSwitches(int argc, char** argv, const char* rawCommandLine, int setupMode,
                           UnattendedSwitches* out);

// 1 for "X:\..." or "\\server\share...": a folder a silent run can use
// without a current directory to resolve it against.
int IsFullPath(const char* path);
