// Deleting the files the install made, and scheduling the ones that cannot
// go now for deletion when Windows next starts, so that the uninstall
// forgets none of them: a running uninstaller, a program another process
// holds open. Content and the user's own files never come here.
#pragma once

// DeleteFileA on a file this program installed. An install from a package
// on read-only media (before installs cleared the mark) left the file
// read-only, which makes Windows refuse the deletion: the mark is then taken
// off and the deletion tried once more. Result and last error are those of
// the last DeleteFileA.
int DeleteInstalledFile(const char* path);

// Schedules path (a file, or a folder that is to go once emptied) for
// deletion at the next restart: MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT
// on the NT family; on Windows 95, 98 and Me, whose MoveFileExA cannot, a
// "NUL=" line in the [rename] section of WININIT.INI (files only: WININIT
// deletes no folders). Logged. 1 when scheduled; then, with partOfRun set,
// the run tells that Windows must restart to finish it (exit code 3010).
int DeleteAtRestart(const char* path, int partOfRun);

// A file of the install that could not be deleted now: scheduled, then each
// folder above it up to and including `topFolder` (without a trailing
// backslash; null or empty for none), deepest first, so that they go too
// once emptied. Folders are scheduled after the files they hold. 1 when the
// file itself was scheduled.
int DeleteFileAtRestart(const char* path, const char* topFolder);

// Schedules everything left in folder, then the folder: each file, each
// subfolder after what it holds. A link or junction inside is scheduled as
// itself and never walked into.
void DeleteTreeAtRestart(const char* folder);
