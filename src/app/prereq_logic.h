// Decisions of the checks before a setup run that need no Win32: the
// Internet Explorer generation from shdocvw.dll's version and the switch
// appended to a previous version's uninstall command. Tested natively too.
#pragma once
#include <cstddef>
#include <cstdint>

// The generation of Internet Explorer that shdocvw.dll's version belongs to,
// from the most significant half of its file version (major in the high 16
// bits, minor in the low 16): 0 below 4.70 (not usable), 4 for 4.71 and
// 4.72, 3 for 4.70 and 4.73 up to 4.65535, 5 from 5.0 on.
int IeGenerationForVersion(uint32_t mostSignificant);

// The previous version's uninstall command, as read from the registry, made
// ready to run in place: " \s" when it is exactly ownUninstaller (this
// program's copy in the Windows folder, which then uninstalls quietly),
// " -a" for any other command (the older uninstaller's switch). With
// quoteProgram (the whole command names a program file) the program's path
// goes in quotes first, so that a path with blanks starts that program and
// no other. Returns 0 and leaves command unchanged when it is empty or the
// result does not fit in size bytes: a command that would have to be cut is
// not run.
int AppendUninstallSwitch(char* command, size_t size, const char* ownUninstaller, int quoteProgram);
