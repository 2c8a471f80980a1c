// The uninstall script and the older removal log as this program reads and
// writes them: read whole once, changed in memory, and written back whole
// under the partial name and renamed over the script in one step, so that a
// run ended at any moment leaves the old script or the new one, never a cut
// one. They are read here too, not by the profile functions: those keep a
// copy of the file they read last and could answer with the text from before
// a rename. The format is theirs (base/profile_text.h).
#pragma once
#include <windows.h>

#include "base/profile_text.h"
#include "install/script_files.h"

// The script at path as this run last read or wrote it (read from the disk
// at first use; a missing file reads as empty). Null when the file is there
// but cannot be read whole: then nothing may be written over it.
ProfileText* ScriptText(const char* path);

// Writes the script's text as it now stands. 1 when written; a write that
// fails leaves the file as it was.
int SaveScript(const char* path);

// Deletes the script (and a partial one an ended write left). 1 when it is
// gone.
int DeleteScript(const char* path);

// A value as GetPrivateProfileStringA reads it, into size bytes.
DWORD ReadScriptString(const char* path, const char* section, const char* key, const char* fallback, char* out,
                       DWORD size);

// A whole section as ReadSection with size 0 gives it. 0 when the script
// cannot be read.
int ReadScriptSection(const char* path, const char* section, SectionText* out);

// One change as WritePrivateProfileStringA makes it (a null value deletes
// the key, a null key the section), written at once. 1 when written.
int WriteScriptString(const char* path, const char* section, const char* key, const char* value);

// The run of the product an earlier run began and did not end ("install" or
// "uninstall") into out; "" when there is none.
void ReadUnfinishedRun(const char* path, const char* productKey, char* out, DWORD size);

// Marks the product's run as begun (what: kUnfinishedInstall or
// kUnfinishedUninstall) or, with what null, as ended; the section goes with
// its last entry. Changes the text only: the caller saves it.
int SetUnfinishedRun(ProfileText* text, const char* productKey, const char* what);
