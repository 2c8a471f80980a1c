// The machine an end-to-end test runs on: the clean Wine prefix that the test
// runner gives each test. These helpers prepare package folders, place the
// real setup program under the name a test wants, and look at the files the
// program left behind.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A built Windows program that sits beside the test executable.
std::string BuiltProgram(const char* fileName);

std::string WindowsDir();
bool FileExists(const std::string& path);
bool MakeFolders(const std::string& path);   // with every missing parent
bool WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);  // "" when missing

// Copies the built LFSetup.exe to `path` (folders created), so that a test
// can run it under any file name from any folder.
bool PlaceSetupProgram(const std::string& path);

// The lines the stand-ins appended to the log named by LF_STANDIN_LOG.
std::vector<std::string> ReadLogLines(const std::string& path);

// A running platform browser stand-in, started by the test (not by the
// program under test) and ended when the test is over.
struct RunningBrowser {
  PROCESS_INFORMATION pi = {};
  RunningBrowser() = default;
  RunningBrowser(const RunningBrowser&) = delete;
  RunningBrowser& operator=(const RunningBrowser&) = delete;
  ~RunningBrowser();
};
// Starts the stand-in and waits until its "LumenFieldClass" window exists.
bool StartBrowser(RunningBrowser& browser, bool ignoreClose);
// True once the stand-in process has ended, polling for up to timeoutMs.
bool WaitForProcessEnd(HANDLE process, DWORD timeoutMs);
