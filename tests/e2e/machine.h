// The clean Windows machine a scenario runs on, as the runner prepares and
// reads it: files, versions and write times, registry values in the view the
// program under test sees, private-profile sections, shell links, and the
// programs a scenario keeps running beside the setup.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// A built program beside the runner.
std::string BuiltProgram(const char* fileName);
std::string WindowsDir();
std::string SpecialFolder(int csidl);

bool FileExists(const std::string& path);
bool MakeFolders(const std::string& path);  // with every missing parent
bool WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);  // "" when missing
bool CopyProgram(const std::string& from, const std::string& to);  // folders created
// Every file and folder below a folder, as sorted relative paths ("dir\" for folders).
std::vector<std::string> SnapshotFiles(const std::string& folder);

// The fixed file version as "a.b.c.d"; "" without version information.
std::string FileVersion(const std::string& path);
// Copies `from` to `to` and stamps version "a.b.c.d" on the copy.
bool MakeVersionedFile(const std::string& from, const std::string& to, const std::string& version);
// Last write time: midnight UTC of "YYYY-MM-DD".
bool SetWriteDay(const std::string& path, const std::string& day);
ULONGLONG WriteTime(const std::string& path);  // 0 when missing

// Registry access in one view: 0 for the native one, KEY_WOW64_32KEY for what
// a 32-bit program sees under WoW64.
extern REGSAM g_regView;
// "HKLM\\..." / "HKCU\\..." / "HKCR\\..." split into root and subkey.
bool SplitRegPath(const std::string& path, HKEY* root, std::string* key);
// "sz:text" or "dword:n"; "" when the value is absent.
std::string ReadRegValue(HKEY root, const std::string& key, const std::string& name);
bool WriteRegValue(HKEY root, const std::string& key, const std::string& name, const std::string& typed);
bool RegKeyExists(HKEY root, const std::string& key);
void DeleteRegTree(HKEY root, const std::string& key);
// A whole tree as "key\\name" -> "sz:..." lines ("key\\" -> "key" for keys).
std::map<std::string, std::string> SnapshotRegistry(HKEY root, const std::string& key);

// A private-profile section as "k=v" lines in file order, keys folded to
// lower case; empty when there is no such section.
std::vector<std::string> ReadIniSection(const std::string& file, const std::string& section);
std::vector<std::string> ReadIniSectionNames(const std::string& file);

struct LinkInfo {
  bool loaded = false;
  std::string target, arguments, description, workingDir;
};
LinkInfo ReadLink(const std::string& linkPath);
bool WriteLink(const std::string& linkPath, const std::string& target);

// The stand-ins' start log: "exe\tcommand line\tworking folder" lines. Wine
// quotes a program path with blanks that a command line gave without quotes;
// those quotes are dropped so that a line reads as the program built it.
std::vector<std::string> ReadLogLines(const std::string& path);

// A program a scenario starts beside the program under test; ended with the row.
struct RunningProgram {
  PROCESS_INFORMATION pi = {};
  RunningProgram() = default;
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  ~RunningProgram();
};
// Starts the command line; waits until it is idle and, when windowClass is
// given, until a window of that class exists.
bool StartRunningProgram(RunningProgram& program, const std::string& commandLine,
                         const char* windowClass);
