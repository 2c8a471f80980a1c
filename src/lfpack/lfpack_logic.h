// The package checker's findings: what in a setup package will go wrong on
// the user's machine, found with the setup program's own list parsing and
// buffer sizes. No Win32 here.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "install/file_list_logic.h"
#include "lfpack/profile_logic.h"

enum ListLineVerdict {
  kLineOk = 0,
  kLineComment,
  kLineDestTooLong,    // destination folder + destination part over 259 characters
  kLineSourceTooLong,  // the source path alone over 259 characters
  kLineNoDest,         // nothing before the comma (or only "*")
  kLineFolderDest,     // the destination part ends in a backslash
  kLineNoSource,       // nothing after the comma
  kLineBadCharacter,   // a character Windows refuses in file names
  kLineLeavesFolder,   // a part "..", a drive, a leading backslash, a network path or a device name
};

// One line of a file list as the install parses it (ParseFileListLine) into
// destFolder, with the source relative to the package folder, then checked
// for what makes its copy fail whatever the machine.
ListLineVerdict CheckListLine(const char* destFolder, const char* line, FileListLine* out);

struct Finding {
  bool error;        // else a warning
  std::string file;  // "LFSetup.inf" or "license.txt"
  int line;          // 0: the file as a whole
  std::string text;  // what, what happens on the user's machine, and the fix
};

struct SourceFacts {
  bool found;               // a file (not a folder) in the package
  unsigned long long size;  // bytes
  bool hasVersion;          // carries version information
};
// Looks up a source path (relative, backslashes) in the package folder.
using SourceLookup = std::function<SourceFacts(const std::string& relativePath)>;

struct PackageReport {
  std::vector<Finding> findings;
  int errors = 0, warnings = 0;
  // Bytes of the listed files, each destination counted once: the "Core"
  // list's libraries (".dll"), its other files, and the "Content" list.
  unsigned long long dllBytes = 0, coreBytes = 0, contentBytes = 0;
};

PackageReport CheckPackage(const Profile& script, bool licensePresent, const SourceLookup& lookup);

// A warning for each line of a package text file (the setup script, the
// licence) that is not valid UTF-8, which Windows 10 and later read the
// program's texts as; `effect` says what then happens on the user's machine.
void CheckUtf8Lines(const std::string& text, const char* file, const char* effect, PackageReport* report);

// "FILE:LINE: error: TEXT" (no line number for a whole file).
std::string FormatFinding(const Finding& finding);

// True when a file's bytes are a Windows program whose resources hold a
// VS_VERSION_INFO block with its fixed file information, which is what the
// version query of the install reads.
// With versionMs and versionLs given, the fixed file version's most and
// least significant halves go there.
bool HasVersionResource(const std::string& bytes, uint32_t* versionMs = nullptr, uint32_t* versionLs = nullptr);
