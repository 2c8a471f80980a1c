// The names the setup program and the package checker share: the product's,
// the program's files, and the sections and keys of the three script files
// (the setup script LFSetup.inf beside the program, the uninstall script
// LFUninst.inf and the older removal log LFRemove.inf in the Windows "inf"
// folder). No Win32 here: lfpack, built natively too, reads a package by the
// same names.
#pragma once

// The product name, which fills every "%s Browser" message; as a literal,
// for the captions and names built from it.
#define LF_PRODUCT "Quillara"
extern const char kProductName[];          // LF_PRODUCT

extern const char kUninstallerFileName[];  // "LFUninst.exe", in the Windows folder
extern const char kQuietUninstallSwitch[]; // "\s": the quiet uninstall
extern const char kControlProgramName[];   // "LFCtrl.exe", the product's control program
extern const char kSetupProgramName[];     // "LFSetup.exe", beside the setup script
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
// The run of a product that has begun and not yet ended, keyed by the
// product key: "install" or "uninstall". A run ended on the way (a time
// limit, the Task Manager, a power cut) leaves it, and the next run of
// either kind knows it finishes an earlier one.
extern const char kSectionUnfinished[];  // "Unfinished"
extern const char kUnfinishedInstall[];  // "install"
extern const char kUnfinishedUninstall[];  // "uninstall"

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

