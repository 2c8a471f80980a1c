// Reading the script files by section: the program's one section reader.
// The files, sections and keys are named in base/names.h; the files are read
// and written only through the private-profile operations.
#pragma once
#include <windows.h>
#include <cstddef>

#include "base/heap_text.h"

// A section as the private-profile read gives it: "key=value" lines, each
// ended by a zero byte, the last followed by a second one.
struct SectionText {
  HeapText text;
  DWORD length = 0;  // the lines' bytes, without the final zero
  // The first line, or nullptr for an empty section.
  const char* First() const { return length && text[0] ? text.get() : nullptr; }
};

// The line after `line`, or nullptr after the last.
const char* NextLine(const char* line);

// Reads the whole `section` of `file` through the profile functions (the
// setup script, WININIT.INI), however long: a file list of any length. 0
// when it cannot be read whole (the heap, or more than 64 MB), and then
// nothing of it may be acted on.
int ReadSection(const char* file, const char* section, SectionText* out);

// <Windows>\inf\LFRemove.inf into out (size bytes); 0 when it does not fit.
int BuildOlderLogPath(char* out, size_t size);
