// The unattended-install switches and the exit codes of a silent setup. No
// Win32 here: built and tested natively too.
#pragma once
#include <cstddef>

// Exit codes of a silent setup ("/S"), one per kind of failure. An
// interactive run ends with 0 whatever happens, as it always has.
enum ExitCode {
  kExitSuccess = 0,
  kExitBadCommandLine = 1,    // "/D=" or "/LOG=" without a usable value; log not writable
  kExitBrowserRunning = 2,    // a LUMENFIELD browser is running (left running)
  kExitOldPlatform = 3,       // an incompatible older platform is installed (not removed)
  kExitOtherBrand = 4,        // another brand's browser is installed (not replaced)
  kExitNoIE = 5,              // Internet Explorer 3 or later is missing
  kExitLicenseMissing = 6,    // license.txt beside the program cannot be read
  kExitDiskSpace = 7,         // the destination's drive is short of space
  kExitCopyFailed = 8,        // a file of the lists could not be installed
  kExitShortcutsFailed = 9,   // the Start-menu or desktop links could not be made
  kExitNotCompleted = 10,     // any other failed install step (script, uninstaller)
  kExitStartFailed = 11,      // the program could not start (window, COM)
};

enum { kSwitchValueSize = 260 };

// What the unattended switches asked for. Each value is empty when its
// switch was not given.
struct UnattendedSwitches {
  int silent;                             // "/S"
  char logPath[kSwitchValueSize];         // "/LOG=file"
  char destination[kSwitchValueSize];     // "/D=folder"
  int bad;                                // a switch without a usable value
};

// Takes "/S", "/LOG=file" and (in setup mode) "/D=folder" out of the
// argument vector, keeping the order of the other arguments, so that the
// run-mode switches still find their last argument. Returns the new count
// (the program name still counts). "/D=" takes the rest of the raw command
// line, blanks included, as installers commonly do; it must come last.
int TakeUnattendedSwitches(int argc, char** argv, const char* rawCommandLine, int setupMode,
                           UnattendedSwitches* out);

// 1 for "X:\..." or "\\server\share...": a folder a silent run can use
// without a current directory to resolve it against.
int IsFullPath(const char* path);

// "Yes", "No", "OK", "Cancel", "Retry" for the message-box answers.
const char* AnswerName(int answer);
