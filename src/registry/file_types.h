// The "vorn" URL protocol and the ".vorn"/".3de" document associations.
#pragma once

// dir: the install folder; exe: the viewer's file name; shortDir: the short
// (8.3) form of dir, used by the protocol's open command only.
void RegisterProtocolAndFileTypes(const char* dir, const char* exe, const char* shortDir);

int IsWindowsNT();
int IsWindows98OrMe();
