// The name a file is written under before it takes its own: every file the
// program installs or rewrites (the lists' files, the uninstaller, the
// uninstall script) is written whole under this name in its own folder and
// then renamed over its real name in one step, so that a run ended at any
// moment never leaves a cut file under a real name. No Win32 here: tested
// natively too.
#pragma once
#include <cstddef>

// ".~lfpart": what ends every such name. A file a run ended before its
// rename is left under it, and the next install of that file or the
// uninstaller removes it.
extern const char kPartialSuffix[];

// The partial name of path into out (size bytes): the path with the suffix
// appended; where that would not fit, the file name's last characters give
// way to the suffix, so that a path that fits has a partial name that fits
// too. 0 when even that leaves nothing of the name (a name no longer than
// the suffix in a folder at the limit).
int BuildPartialName(const char* path, char* out, size_t size);

// 1 when the name ends in the suffix (ASCII letters folded).
int IsPartialName(const char* name);
