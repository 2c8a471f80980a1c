// A first install writes into a folder that is not there yet. Its files go
// into the folder's partial name ("World.~lfpart"), each under its own name
// at once, and the folder takes its real name in one step once the lists
// are written: a run ended before that leaves nothing under the install
// folder's real name, and the run renames one folder instead of every file
// (under Wine each rename is a request to its server). The next install,
// or the uninstaller, deletes what an ended run left under that name.
#pragma once
#include <cstddef>

// Deletes what an ended run left under folder's partial name; then, when
// folder is not there, the install writes below the partial name until
// EndStagedFolder. 1 when it does.
int BeginStagedFolder(const char* folder);

// While the install folder is staged, the folder a list writes into for
// destFolder (a path below the install folder, ending in a backslash):
// destFolder with the install folder's partial name. 1 when it is staged
// and out (size bytes) holds it; 0 otherwise.
int StagedListFolder(const char* destFolder, char* out, size_t size);

// The staged folder takes its real name. 1 when it did, or when nothing was
// staged; 0 (logged) when it could not.
int EndStagedFolder();

// Deletes the folder an ended install left under folder's partial name.
void DeleteStagedLeftover(const char* folder);
