// Names in the three script files: the setup script LFSetup.inf beside the
// program, the uninstall script LFUninst.inf (the removal log) and the older
// removal log LFRemove.inf, both in the Windows "inf" folder. The files are
// read and written only through the private-profile operations.
#pragma once
#include <cstddef>

extern const char kSetupScriptName[];      // "LFSetup.inf"
extern const char kOlderLogName[];         // "LFRemove.inf"
extern const char kOlderUninstallerName[]; // "LFRemove.exe"
extern const char kLicenseFileName[];      // "license.txt", beside the setup script

// Sections.
extern const char kSectionLog[];       // "Log"      (setup script)
extern const char kSectionCore[];      // "Core"     (setup script)
extern const char kSectionContent[];   // "Content"  (setup script)
extern const char kSectionPaths[];     // "Paths"
extern const char kSectionProducts[];  // "Products"
extern const char kSectionUninst[];    // "Uninst"
extern const char kSectionPlugins[];   // "Plugins"

// Keys of the setup script's "Log" and of a product section.
extern const char kKeyKey[];      // "Key"
extern const char kKeyAlt[];      // "Alt"
extern const char kKeyName[];     // "Name"
extern const char kKeyTarget[];   // "Target"
extern const char kKeyMenu[];     // "Menu"
extern const char kKeyUninst[];   // "Uninst"
extern const char kKeyIcon[];     // "Icon"
extern const char kKeyHome[];     // "Home"
extern const char kKeyAltKey[];   // "AltKey"

// The setup script's disk-space reserve: a section and its three sizes.
extern const char kSectionReserve[];   // "ReservedDiskSpace"
extern const char kKeySizeProduct[];   // "sizeLF"
extern const char kKeySizeContent[];   // "sizeVORNS"
extern const char kKeySizeLibraries[]; // "sizeDLLS"

// The viewer's fixed key in the older logs.
extern const char kViewerKey[];   // "LFViewer"

// Sizes of the buffers whole sections are read into.
enum {
  kFileListSize = 2048,     // the setup script's file lists
  kSectionSize = 1024,      // other sections
};

// <Windows>\inf\LFRemove.inf into out (size bytes); 0 when it does not fit.
int BuildOlderLogPath(char* out, size_t size);
