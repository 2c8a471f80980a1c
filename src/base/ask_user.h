// The one door for asking the user: every message box of the program goes
// through here, so that a silent setup ("/S") answers without a window, a
// quiet uninstall ("\s") shows nothing where the design silences it, the log
// records each question with its answer, and a silent setup's exit code
// tells the kind of its first failure.
#pragma once
#include <windows.h>

// Exit codes of a silent setup ("/S") and of a quiet uninstall ("\s", "/S")
// or one started with "/LOG=" or "/WAIT", one per kind of failure. An
// interactive setup ends with 0 whatever happens, as it always has.
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
  kExitDamagedDownload = 12,  // the single file's package fails its checksum or was cut short
  kExitCannotUnpack = 13,     // the single file's package cannot be unpacked (temporary folder, space)
  kExitOwnFileUnreadable = 14,  // the program cannot open its own file
  // The uninstaller's own.
  kExitNotRegistered = 20,       // no product is recorded: nothing was removed
  kExitUninstallIncomplete = 21, // "The Uninstall was not completed!"
  kExitNoTemporaryCopy = 22,     // the temporary copy could not be made or started
  kExitUninstallDeclined = 23,   // No to the removal question
  // Done, and Windows must restart to finish (the convention of Windows
  // Installer, ERROR_SUCCESS_REBOOT_REQUIRED, which deployment tools read).
  kExitRestartNeeded = 3010,
};

// MessageBoxA, logged with its answer; a silent setup shows nothing and
// answers silentAnswer. For the boxes that even a quiet uninstall shows.
int AskUser(HWND owner, const char* text, const char* caption, UINT type, int silentAnswer);

// MessageBoxA, except that a quiet uninstall shows nothing and answers IDOK
// (a caller that tests for IDNO goes on as after Yes, one that tests for
// IDYES as after No); otherwise as AskUser.
int QuietMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Records the kind of a failure (the first one counts) as the exit code of
// a silent setup.
void NoteFailure(int exitCode);

// The exit code of the relocated uninstaller, which the first process waited
// for, as this run's outcome.
void NoteRelayedExitCode(int exitCode);

// Ends the run's log with the exit code and closes it. Returns the code the
// process ends with: with a coded exit the first failure's kind, else 3010
// when something of the product waits for the restart, else 0; otherwise
// the given code.
int FinishRun(int exitCode);
