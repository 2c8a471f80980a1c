// Path arithmetic of the install run. No Win32 here: tested natively too.
#pragma once
#include <cstddef>

// Drops one trailing backslash, then appends "\World" unless the folder
// (longer than 6 characters) already ends in it in any letter case. Returns 0
// and leaves dir unchanged when the result would not fit size bytes.
int AppendWorldFolderTo(char* dir, size_t size);

// 1 when path is longer than 6 characters and ends in "\World" in any case.
int EndsInWorldFolder(const char* path);
