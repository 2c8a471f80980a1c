// Private temporary folders: the single file's unpack folder and the
// uninstaller's temporary copy each run from a new folder under the
// temporary folder that only the running user, the Administrators and SYSTEM
// may change. The temporary folder itself is not private: a silent install
// run as SYSTEM uses C:\Windows\Temp, where every user may create files and
// folders, and what a folder made there inherits would let them in too.
#pragma once
#include <cstddef>

// The security such a folder is made with: full access for SYSTEM, the
// Administrators and the running user, passed on to what is made inside,
// and nothing taken from the folder above. A descriptor from LocalAlloc
// (the caller frees it with LocalFree); null on Windows without file
// security or without the functions to describe it (95, 98, Me, NT 4).
void* PrivateFolderSecurity();

// Makes <temp>\<prefix><16 random hex digits> with that security, created
// exclusively (another name is tried when one exists). 1 with its path in
// out, 0 when no folder could be made (out is then the temporary folder, or
// empty when even that is unknown, for the message).
int MakePrivateTempFolder(const char* prefix, char* out, size_t size);

// 1 when folder is one MakePrivateTempFolder made with that prefix: directly
// in the temporary folder, named by the prefix and 16 hex digits.
int IsPrivateTempFolder(const char* folder, const char* prefix);

// Removes the folder and everything in it, never following a link or
// junction out of it. What cannot go now (a program it started still holds
// the folder) is tried again for a few seconds, then scheduled for deletion
// at the next restart one file at a time, each folder after its files.
void RemovePrivateFolder(const char* folder);

// Removes what runs ended on the way left in the temporary folder: each
// folder MakePrivateTempFolder made with that prefix whose file `heldName`
// no running program holds (a run holds it, unshared for deletion, until it
// ends). Links and junctions are never followed.
void RemoveLeftoverPrivateFolders(const char* prefix, const char* heldName);
