// The "vorn" URL protocol and the ".vorn"/".3de" document associations.
#pragma once

// dir: the install folder; exe: the viewer's file name; shortDir: the short
// (8.3) form of dir, used by the protocol's open command only.
void RegisterProtocolAndFileTypes(const char* dir, const char* exe, const char* shortDir);

// The same writes, with the question whether the DDE conversation is left
// unnamed (the system finds it by itself) put to ddeNamedBySystem, once
// before each of the two ddeexec keys is finished.
void RegisterProtocolAndFileTypesWith(int (*ddeNamedBySystem)(), const char* dir, const char* exe,
                                      const char* shortDir);

// Non-zero on the NT platform.
int IsWindowsNT();
// 1 on Windows 98 and Me; 0 on Windows 95 and on NT.
int IsWindows98OrMe();
// NT, 98 or Me: everything but Windows 95, which needs the DDE application
// and topic spelled out.
int DdeNamedBySystem();
