#include "e2e_machine.h"

#include <fstream>
#include <sstream>

std::string BuiltProgram(const char* fileName) {
  char self[MAX_PATH];
  DWORD len = GetModuleFileNameA(nullptr, self, sizeof(self));
  std::string dir(self, len);
  return dir.substr(0, dir.find_last_of('\\') + 1) + fileName;
}

std::string WindowsDir() {
  char dir[MAX_PATH];
  UINT len = GetWindowsDirectoryA(dir, sizeof(dir));
  return std::string(dir, len);
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(const std::string& path) {
  for (size_t pos = path.find('\\', 3); ; pos = path.find('\\', pos + 1)) {
    std::string part = path.substr(0, pos);
    if (!part.empty() && !CreateDirectoryA(part.c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
    if (pos == std::string::npos) return true;
  }
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool PlaceSetupProgram(const std::string& path) {
  std::string folder = path.substr(0, path.find_last_of('\\'));
  return MakeFolders(folder) &&
         CopyFileA(BuiltProgram("LFSetup.exe").c_str(), path.c_str(), FALSE);
}

std::vector<std::string> ReadLogLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadTextFile(path));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

RunningBrowser::~RunningBrowser() {
  if (pi.hProcess) {
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
  }
  if (pi.hThread) CloseHandle(pi.hThread);
}

bool StartBrowser(RunningBrowser& browser, bool ignoreClose) {
  std::string cmd = "\"" + BuiltProgram("browser_standin.exe") + "\"";
  if (ignoreClose) cmd += " --ignore-close";
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &browser.pi))
    return false;
  for (int i = 0; i < 1000; ++i) {
    if (FindWindowA("LumenFieldClass", nullptr)) return true;
    if (WaitForSingleObject(browser.pi.hProcess, 10) == WAIT_OBJECT_0) return false;
  }
  return false;
}

bool WaitForProcessEnd(HANDLE process, DWORD timeoutMs) {
  return WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
}
