// The machine an end-to-end test runs on: the clean Wine prefix that the test
// runner gives each test. These helpers prepare package folders, place the
// real setup program under the name a test wants, and look at the files the
// program left behind.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// A built Windows program that sits beside the test executable.
std::string BuiltProgram(const char* fileName);

std::string WindowsDir();
bool FileExists(const std::string& path);
bool MakeFolders(const std::string& path);   // with every missing parent
bool WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);  // "" when missing

// The fixed file version of a file's version resource; false without one.
bool ReadFileVersion(const std::string& path, DWORD* most, DWORD* least);

// Copies the built LFSetup.exe to `path` (folders created), so that a test
// can run it under any file name from any folder.
bool PlaceSetupProgram(const std::string& path);

// The lines the stand-ins appended to the log named by LF_STANDIN_LOG. Wine
// puts quotes around a program path with blanks that a command line gave
// without them; Windows passes the line on as it was given. The quotes
// around the program part are dropped here, so that tests see the command
// line as the program built it on either.
std::vector<std::string> ReadLogLines(const std::string& path);

// A program the test itself starts (not the program under test), such as a
// running browser or a control program that holds its file; it is ended
// when the test is over.
struct RunningProgram {
  PROCESS_INFORMATION pi = {};
  RunningProgram() = default;
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  ~RunningProgram();
};
// Starts the command line and waits until the program is idle for input.
bool StartRunningProgram(RunningProgram& program, const std::string& commandLine);
// Starts the browser stand-in and waits until its "LumenFieldClass" window exists.
bool StartBrowser(RunningProgram& browser, bool ignoreClose);
// True once the stand-in process has ended, polling for up to timeoutMs.
bool WaitForProcessEnd(HANDLE process, DWORD timeoutMs);

// ---- Machine state as the tests see it ----

// The keys and values of one section of a private-profile file, keys folded
// to lower case (sections and keys match without regard to case). A line
// without "=" is kept as a key with the value "<no =>".
std::map<std::string, std::string> ReadIniSection(const std::string& file, const char* section);
// The section names of a private-profile file.
std::vector<std::string> ReadIniSectionNames(const std::string& file);

struct RegValue {
  bool present = false;
  DWORD type = 0;
  std::string data;    // REG_SZ: the text without terminator; REG_DWORD: decimal
  DWORD size = 0;      // stored data length in bytes
};
RegValue ReadRegValue(HKEY root, const std::string& key, const std::string& name);
bool RegKeyExists(HKEY root, const std::string& key);
bool WriteRegString(HKEY root, const std::string& key, const std::string& name,
                    const std::string& value);
bool WriteRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value);

// A whole registry tree as "key\name" -> "type:data" lines, for comparing
// before and after.
std::map<std::string, std::string> SnapshotRegistry(HKEY root, const std::string& key);
// Every file and folder below a folder, as relative paths ("dir\" for folders).
std::vector<std::string> SnapshotFiles(const std::string& folder);

struct LinkInfo {
  bool loaded = false;
  std::string target, arguments, description, workingDir;
};
// Loads a .lnk file with the shell-link object (COM initialised on demand).
LinkInfo ReadLink(const std::string& linkPath);
// Saves a shell link to target, as a user's own shortcut would be.
bool WriteLink(const std::string& linkPath, const std::string& target);

std::string DesktopFolder();
std::string ProgramsFolder();

// ---- Setup packages ----

extern const char kPackageDir[];      // "C:\Package"
extern const char kDefaultWorld[];    // "C:\Program Files\LUMENFIELD\World"

// Fills a package folder: LFSetup.exe, the given setup script text, the
// sample package's licence and files, and the viewer stand-in as
// LFViewer.exe and LFCtrl.exe. inf empty: the sample package's own script.
bool PreparePackage(const std::string& dir, const std::string& inf);

// The uninstall script's path: <Windows>\inf\LFUninst.inf.
std::string UninstallScript();
