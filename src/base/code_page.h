// The code page of the program's text. The manifest asks Windows 10 1903 and
// later to run every ANSI call in UTF-8, so that any file, folder and user
// name reaches the program whole; older Windows keep the system's code page.
// Text that comes from elsewhere (a licence saved in the old code page, an
// uninstall script an earlier version wrote in it) is brought into the
// program's code page here.
#pragma once
#include <cstddef>

#include "base/heap_text.h"

// Text read from a file (a licence), in the code page the program's ANSI
// calls use: UTF-8 (a byte-order mark dropped) or the system's old code page,
// whichever the bytes are, converted when they differ from the program's.
// 1 with the zero-terminated text in out; 0 when memory runs out.
int ToProgramCodePage(const char* bytes, size_t length, HeapText* out);

// A script file an earlier version of this program wrote in the system's old
// code page (before it ran in UTF-8), rewritten in UTF-8 so that the names
// it records match the files again. Only where the program runs in UTF-8 and
// the system's old code page is another; a file that is already UTF-8 (or
// UTF-16, or absent) is left as it is. Logged. 1 when the file is usable as
// it now is.
int ConvertOldCodePageScript(const char* path);
