// Copying the setup script's file lists into the install folder, from the
// package folder or straight out of the download that carries the package,
// with the newer-file question.
#pragma once
#include <windows.h>

// Copies every line of the list (section of the setup script) into the
// install folder (or Netscape's Plugins folder for "Plugins"); with record
// set, records each line in the uninstall script and finally the "Products"
// entry. 1 when every line was handled, 0 otherwise.
int InstallFileList(HWND window, const char* listName, int record);

// The bytes the list's files will write (its lines up to the first the copy
// refuses): the progress bar's share of the list.
ULONGLONG ListBytes(const char* listName);

// Creates every folder along path (the text after the last backslash is a
// file name and never created). 1 when all exist afterwards.
int CreateFolderPath(const char* path);

// Moves an older viewer's folders and files into the install folder.
void MigrateOldLayout();
