#include "e2e_machine.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
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

bool ReadFileVersion(const std::string& path, DWORD* most, DWORD* least) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<BYTE> block(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) || !info)
    return false;
  *most = info->dwFileVersionMS;
  *least = info->dwFileVersionLS;
  return true;
}

bool PlaceSetupProgram(const std::string& path) {
  std::string folder = path.substr(0, path.find_last_of('\\'));
  return MakeFolders(folder) &&
         CopyFileA(BuiltProgram("LFSetup.exe").c_str(), path.c_str(), FALSE);
}

std::vector<std::string> ReadLogLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadTextFile(path));
  for (std::string line; std::getline(in, line);) {
    size_t tab = line.find('\t');
    if (tab != std::string::npos && line.compare(tab + 1, 1, "\"") == 0) {
      size_t close = line.find('"', tab + 2);
      if (close != std::string::npos && line.find(' ', tab + 1) < close) {
        line.erase(close, 1);
        line.erase(tab + 1, 1);
      }
    }
    lines.push_back(line);
  }
  return lines;
}

RunningProgram::~RunningProgram() {
  if (pi.hProcess) {
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
  }
  if (pi.hThread) CloseHandle(pi.hThread);
}

bool StartRunningProgram(RunningProgram& program, const std::string& commandLine) {
  std::string cmd = commandLine;
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &program.pi))
    return false;
  WaitForInputIdle(program.pi.hProcess, 5000);
  return true;
}

bool StartBrowser(RunningProgram& browser, bool ignoreClose) {
  std::string cmd = "\"" + BuiltProgram("browser_standin.exe") + "\"";
  if (ignoreClose) cmd += " --ignore-close";
  if (!StartRunningProgram(browser, cmd)) return false;
  for (int i = 0; i < 1000; ++i) {
    if (FindWindowA("LumenFieldClass", nullptr)) return true;
    if (WaitForSingleObject(browser.pi.hProcess, 10) == WAIT_OBJECT_0) return false;
  }
  return false;
}

bool WaitForProcessEnd(HANDLE process, DWORD timeoutMs) {
  return WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
}

std::map<std::string, std::string> ReadIniSection(const std::string& file, const char* section) {
  std::map<std::string, std::string> out;
  std::vector<char> buf(65536);
  DWORD n = GetPrivateProfileSectionA(section, buf.data(), static_cast<DWORD>(buf.size()),
                                      file.c_str());
  for (const char* p = buf.data(); p < buf.data() + n && *p; p += strlen(p) + 1) {
    std::string line(p);
    size_t eq = line.find('=');
    std::string key = eq == std::string::npos ? line : line.substr(0, eq);
    std::transform(key.begin(), key.end(), key.begin(), ::tolower);
    out[key] = eq == std::string::npos ? "<no =>" : line.substr(eq + 1);
  }
  return out;
}

std::vector<std::string> ReadIniSectionNames(const std::string& file) {
  std::vector<std::string> names;
  std::vector<char> buf(65536);
  DWORD n = GetPrivateProfileSectionNamesA(buf.data(), static_cast<DWORD>(buf.size()),
                                           file.c_str());
  for (const char* p = buf.data(); p < buf.data() + n && *p; p += strlen(p) + 1)
    names.push_back(p);
  return names;
}

namespace {

struct Key {
  HKEY h = nullptr;
  ~Key() {
    if (h) RegCloseKey(h);
  }
};

std::string FormatValue(DWORD type, const std::vector<BYTE>& data, DWORD size) {
  if (type == REG_DWORD && size == 4) {
    DWORD v;
    memcpy(&v, data.data(), 4);
    return std::to_string(v);
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::string s(reinterpret_cast<const char*>(data.data()), size);
    if (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
  }
  std::ostringstream hex;
  for (DWORD i = 0; i < size; ++i) hex << std::hex << static_cast<int>(data[i]) << ' ';
  return hex.str();
}

void SnapshotKey(HKEY key, const std::string& path, std::map<std::string, std::string>* out) {
  (*out)[path + "\\"] = "key";
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD nameLen = sizeof(name), type = 0, size = 0;
    if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      break;
    std::vector<BYTE> data(size + 2);
    nameLen = sizeof(name);
    DWORD got = size;
    RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data.data(), &got);
    (*out)[path + "\\" + name] = std::to_string(type) + ":" + FormatValue(type, data, got);
  }
  for (DWORD i = 0;; ++i) {
    char name[1024];
    DWORD nameLen = sizeof(name);
    if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    Key sub;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub.h) == ERROR_SUCCESS)
      SnapshotKey(sub.h, path + "\\" + name, out);
  }
}

void SnapshotFolder(const std::string& root, const std::string& rel, std::vector<std::string>* out) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((root + "\\" + rel + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out->push_back(rel + name + "\\");
      SnapshotFolder(root, rel + name + "\\", out);
    } else {
      out->push_back(rel + name);
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
  return path;
}

}  // namespace

RegValue ReadRegValue(HKEY root, const std::string& key, const std::string& name) {
  RegValue v;
  Key k;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &k.h) != ERROR_SUCCESS) return v;
  DWORD size = 0;
  if (RegQueryValueExA(k.h, name.c_str(), nullptr, &v.type, nullptr, &size) != ERROR_SUCCESS)
    return v;
  std::vector<BYTE> data(size + 2);
  if (RegQueryValueExA(k.h, name.c_str(), nullptr, &v.type, data.data(), &size) != ERROR_SUCCESS)
    return v;
  v.present = true;
  v.size = size;
  v.data = FormatValue(v.type, data, size);
  return v;
}

bool RegKeyExists(HKEY root, const std::string& key) {
  Key k;
  return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k.h) == ERROR_SUCCESS;
}

bool WriteRegString(HKEY root, const std::string& key, const std::string& name,
                    const std::string& value) {
  Key k;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k.h,
                      nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExA(k.h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool WriteRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
  Key k;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k.h,
                      nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExA(k.h, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        4) == ERROR_SUCCESS;
}

std::map<std::string, std::string> SnapshotRegistry(HKEY root, const std::string& key) {
  std::map<std::string, std::string> out;
  Key k;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k.h) == ERROR_SUCCESS)
    SnapshotKey(k.h, key, &out);
  return out;
}

std::vector<std::string> SnapshotFiles(const std::string& folder) {
  std::vector<std::string> out;
  SnapshotFolder(folder, "", &out);
  std::sort(out.begin(), out.end());
  return out;
}

LinkInfo ReadLink(const std::string& linkPath) {
  LinkInfo info;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
      if (SUCCEEDED(file->Load(wide, STGM_READ))) {
        char buf[1024];
        info.loaded = true;
        if (SUCCEEDED(link->GetPath(buf, sizeof(buf), nullptr, SLGP_RAWPATH))) info.target = buf;
        if (SUCCEEDED(link->GetArguments(buf, sizeof(buf)))) info.arguments = buf;
        if (SUCCEEDED(link->GetDescription(buf, sizeof(buf)))) info.description = buf;
        if (SUCCEEDED(link->GetWorkingDirectory(buf, sizeof(buf)))) info.workingDir = buf;
      }
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return info;
}

bool WriteLink(const std::string& linkPath, const std::string& target) {
  bool saved = false;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    link->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
      saved = SUCCEEDED(file->Save(wide, TRUE));
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return saved;
}

std::string DesktopFolder() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY); }
std::string ProgramsFolder() { return SpecialFolder(CSIDL_PROGRAMS); }

const char kPackageDir[] = "C:\\Package";
const char kDefaultWorld[] = "C:\\Program Files\\LUMENFIELD\\World";

bool PreparePackage(const std::string& dir, const std::string& inf) {
  std::string sample = BuiltProgram("sample-package");
  if (!MakeFolders(dir) || !PlaceSetupProgram(dir + "\\LFSetup.exe")) return false;
  for (const char* file : {"license.txt", "readme.txt", "quickstart.txt", "welcome.vorn"})
    if (!CopyFileA((sample + "\\" + file).c_str(), (dir + "\\" + file).c_str(), FALSE))
      return false;
  for (const char* program : {"LFViewer.exe", "LFCtrl.exe"})
    if (!CopyFileA(BuiltProgram("viewer_standin.exe").c_str(), (dir + "\\" + program).c_str(),
                   FALSE))
      return false;
  std::string script = inf.empty() ? ReadTextFile(sample + "\\LFSetup.inf") : inf;
  return !script.empty() && WriteTextFile(dir + "\\LFSetup.inf", script);
}

std::string UninstallScript() { return WindowsDir() + "\\inf\\LFUninst.inf"; }
