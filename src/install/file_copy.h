// Copying the setup script's file lists into the install folder, with the
// newer-file question, and the small file functions other modules share.
#pragma once
#include <windows.h>

#include "base/file_queries.h"

// Copies every line of the list (section of the setup script) into the
// install folder (or Netscape's Plugins folder for "Plugins"); with record
// set, records each line in the uninstall script and finally the "Products"
// entry. 1 when every line was handled, 0 otherwise.
int InstallFileList(HWND window, const char* listName, int record);

// Creates every folder along path (the text after the last backslash is a
// file name and never created). 1 when all exist afterwards.
int CreateFolderPath(const char* path);

// Takes off a file this program wrote the attributes its source carried: the
// read-only mark a package on a CD (or unpacked from some archives) gives
// every file, which would keep the uninstaller and Windows from deleting it,
// and the temporary mark of a single file's unpacked package. 1 when the
// file carries neither afterwards.
int ClearCarriedAttributes(const char* path);

// CopyFileA replacing dest, for a file this program installs: a dest made
// read-only by an earlier install from such a medium is replaced all the
// same (its attribute is put back when the copy still fails), and the copy
// keeps neither attribute of ClearCarriedAttributes. The result and last error
// are CopyFileA's.
BOOL CopyReplacing(const char* source, const char* dest);

// 1 when the installed file is newer (by version, or by time when either
// has no version information) than the new one.
int IsInstalledFileNewer(const char* installedPath, const char* newPath);

// Moves an older viewer's folders and files into the install folder.
void MigrateOldLayout();
