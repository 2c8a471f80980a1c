// Removal of what the uninstall script records: the product's registry keys,
// files and shortcuts, listed files, component content, and the uninstaller's
// own shortcuts. Each operation consumes the part of the script it used.
#pragma once

#include "base/heap_text.h"

int RemoveProductEntries(const char* scriptPath, const char* productKey);
int DeleteListedFilesInFolder(const char* scriptPath, const char* section, const char* folder);
// The same for the product's own files: see DeleteSectionFiles.
int DeleteInstalledFilesInFolder(const char* scriptPath, const char* section, const char* folder);
int DeleteListedFiles(const char* scriptPath, const char* section);
int RemoveComponentContent(const char* componentName, const char* scriptPath, int contentFlag,
                           const char* listText, int found);
int RemoveFromComponentList(const char* componentName, const char* productKey);
int RemoveUninstallShortcuts(const char* scriptPath);

// The file-list entries of a section, for the progress bar's total.
unsigned long long CountListedFiles(const char* scriptPath, const char* section);

// Reads the component list (a value under the maker's key) whole, however
// long, into a buffer allocated to fit. 1 when the value exists and was read;
// 0 when it is missing or cannot be read (list is then null).
int ReadComponentList(const char* componentName, HeapText& list);
