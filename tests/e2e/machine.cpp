#include "machine.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

REGSAM g_regView = 0;

namespace {

struct Key {
  HKEY h = nullptr;
  ~Key() {
    if (h) RegCloseKey(h);
  }
};

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), ::tolower);
  return s;
}

void SnapshotFolder(const std::string& root, const std::string& rel, std::vector<std::string>* out) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((root + "\\" + rel + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    bool folder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    out->push_back(rel + name + (folder ? "\\" : ""));
    if (folder) SnapshotFolder(root, rel + name + "\\", out);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

std::string FormatValue(DWORD type, const BYTE* data, DWORD size) {
  if (type == REG_DWORD && size == 4) {
    DWORD v;
    memcpy(&v, data, 4);
    return "dword:" + std::to_string(v);
  }
  if (type == REG_SZ) {
    // The stored length counts the terminator: a value written without one
    // shows as "sz-unterminated:".
    if (size == 0 || data[size - 1] != '\0')
      return "sz-unterminated:" + std::string(reinterpret_cast<const char*>(data), size);
    return "sz:" + std::string(reinterpret_cast<const char*>(data), size - 1);
  }
  return "type" + std::to_string(type) + ":" + std::to_string(size) + " bytes";
}

void SnapshotKey(HKEY key, const std::string& path, std::map<std::string, std::string>* out) {
  (*out)[path + "\\"] = "key";
  for (DWORD i = 0;; ++i) {
    char name[16384];
    BYTE data[4096];
    DWORD nameLen = sizeof(name), type = 0, size = sizeof(data);
    if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    (*out)[path + "\\" + name] = FormatValue(type, data, size);
  }
  for (DWORD i = 0;; ++i) {
    char name[1024];
    DWORD nameLen = sizeof(name);
    if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    Key sub;
    if (RegOpenKeyExA(key, name, 0, KEY_READ | g_regView, &sub.h) == ERROR_SUCCESS)
      SnapshotKey(sub.h, path + "\\" + name, out);
  }
}

// A VS_VERSIONINFO block with only the fixed file information, laid out as
// the resource compiler does: header, key, padding to 32 bits, the block.
std::vector<BYTE> VersionBlock(DWORD most, DWORD least) {
  static const wchar_t kKey[] = L"VS_VERSION_INFO";
  const size_t valueOffset = (3 * sizeof(WORD) + sizeof(kKey) + 3) & ~size_t(3);
  std::vector<BYTE> block(valueOffset + sizeof(VS_FIXEDFILEINFO), 0);
  WORD header[3] = {static_cast<WORD>(block.size()), sizeof(VS_FIXEDFILEINFO), 0};
  memcpy(block.data(), header, sizeof(header));
  memcpy(block.data() + sizeof(header), kKey, sizeof(kKey));
  VS_FIXEDFILEINFO info = {};
  info.dwSignature = 0xFEEF04BD;
  info.dwStrucVersion = 0x00010000;
  info.dwFileVersionMS = info.dwProductVersionMS = most;
  info.dwFileVersionLS = info.dwProductVersionLS = least;
  info.dwFileFlagsMask = VS_FFI_FILEFLAGSMASK;
  info.dwFileOS = VOS_NT_WINDOWS32;
  info.dwFileType = VFT_APP;
  memcpy(block.data() + valueOffset, &info, sizeof(info));
  return block;
}

// COM for the link helpers, which the runner uses from its own thread.
struct Com {
  Com() { CoInitialize(nullptr); }
  ~Com() { CoUninitialize(); }
};

template <typename Use>
bool WithLink(const std::string& linkPath, Use use) {
  Com com;
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return false;
  IPersistFile* file = nullptr;
  bool ok = false;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    ok = use(link, file, wide);
    file->Release();
  }
  link->Release();
  return ok;
}

}  // namespace

std::string BuiltProgram(const char* fileName) {
  char self[MAX_PATH];
  DWORD len = GetModuleFileNameA(nullptr, self, sizeof(self));
  std::string dir(self, len);
  return dir.substr(0, dir.find_last_of('\\') + 1) + fileName;
}

std::string WindowsDir() {
  char dir[MAX_PATH];
  return std::string(dir, GetWindowsDirectoryA(dir, sizeof(dir)));
}

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
  return path;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(const std::string& path) {
  for (size_t pos = path.find('\\', 3);; pos = path.find('\\', pos + 1)) {
    std::string part = path.substr(0, pos);
    if (!part.empty() && !CreateDirectoryA(part.c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
    if (pos == std::string::npos) return true;
  }
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  MakeFolders(path.substr(0, path.find_last_of('\\')));
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

bool CopyProgram(const std::string& from, const std::string& to) {
  return MakeFolders(to.substr(0, to.find_last_of('\\'))) &&
         CopyFileA(from.c_str(), to.c_str(), FALSE);
}

std::vector<std::string> SnapshotFiles(const std::string& folder) {
  std::vector<std::string> out;
  SnapshotFolder(folder, "", &out);
  std::sort(out.begin(), out.end());
  return out;
}

std::string FileVersion(const std::string& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return "";
  std::vector<BYTE> block(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) || !info)
    return "";
  char text[64];
  snprintf(text, sizeof(text), "%lu.%lu.%lu.%lu", info->dwFileVersionMS >> 16,
           info->dwFileVersionMS & 0xFFFF, info->dwFileVersionLS >> 16, info->dwFileVersionLS & 0xFFFF);
  return text;
}

bool MakeVersionedFile(const std::string& from, const std::string& to, const std::string& version) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (sscanf(version.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) != 4) return false;
  if (!CopyProgram(from, to)) return false;
  HANDLE update = BeginUpdateResourceA(to.c_str(), FALSE);
  if (!update) return false;
  std::vector<BYTE> block = VersionBlock((a << 16) | b, (c << 16) | d);
  BOOL ok = UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
                            MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), block.data(),
                            static_cast<DWORD>(block.size()));
  return EndUpdateResourceA(update, !ok) && ok;
}

bool SetWriteDay(const std::string& path, const std::string& day) {
  SYSTEMTIME st = {};
  FILETIME ft;
  if (sscanf(day.c_str(), "%hu-%hu-%hu", &st.wYear, &st.wMonth, &st.wDay) != 3 ||
      !SystemTimeToFileTime(&st, &ft))
    return false;
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BOOL ok = SetFileTime(file, nullptr, nullptr, &ft);
  CloseHandle(file);
  return ok != FALSE;
}

ULONGLONG WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

bool SplitRegPath(const std::string& path, HKEY* root, std::string* key) {
  static const struct { const char* name; HKEY root; } kRoots[] = {
      {"HKLM", HKEY_LOCAL_MACHINE}, {"HKCU", HKEY_CURRENT_USER}, {"HKCR", HKEY_CLASSES_ROOT}};
  for (const auto& r : kRoots) {
    size_t n = strlen(r.name);
    if (path.compare(0, n, r.name) == 0 && (path.size() == n || path[n] == '\\')) {
      *root = r.root;
      *key = path.size() > n ? path.substr(n + 1) : "";
      return true;
    }
  }
  return false;
}

// The view a 32-bit program sees a key in. As on 64-bit Windows 7 and later,
// the classes are shared between both views, but for the few class subkeys
// that stay redirected.
REGSAM ViewFor(HKEY root, const std::string& key) {
  std::string k;
  for (char c : key) k += static_cast<char>(tolower(static_cast<unsigned char>(c)));
  if (root == HKEY_LOCAL_MACHINE && k.compare(0, 16, "software\\classes") == 0) k = k.size() > 16 ? k.substr(17) : "";
  else if (root != HKEY_CLASSES_ROOT) return g_regView;
  for (const char* redirected : {"clsid", "directshow", "interface", "media type", "mediafoundation"})
    if (k.compare(0, strlen(redirected), redirected) == 0 &&
        (k.size() == strlen(redirected) || k[strlen(redirected)] == '\\'))
      return g_regView;
  return 0;
}

std::string ReadRegValue(HKEY root, const std::string& key, const std::string& name) {
  Key k;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | ViewFor(root, key), &k.h) != ERROR_SUCCESS) return "";
  BYTE data[4096];
  DWORD type = 0, size = sizeof(data);
  if (RegQueryValueExA(k.h, name.c_str(), nullptr, &type, data, &size) != ERROR_SUCCESS) return "";
  return FormatValue(type, data, size);
}

bool WriteRegValue(HKEY root, const std::string& key, const std::string& name, const std::string& typed) {
  Key k;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | ViewFor(root, key), nullptr, &k.h,
                      nullptr) != ERROR_SUCCESS)
    return false;
  if (typed.compare(0, 6, "dword:") == 0) {
    DWORD v = strtoul(typed.c_str() + 6, nullptr, 10);
    return RegSetValueExA(k.h, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4) ==
           ERROR_SUCCESS;
  }
  if (typed.compare(0, 3, "sz:") != 0) return false;
  return RegSetValueExA(k.h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(typed.c_str() + 3),
                        static_cast<DWORD>(typed.size() - 2)) == ERROR_SUCCESS;
}

bool RegKeyExists(HKEY root, const std::string& key) {
  Key k;
  return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | ViewFor(root, key), &k.h) == ERROR_SUCCESS;
}

void DeleteRegTree(HKEY root, const std::string& key) {
  Key k;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS | ViewFor(root, key), &k.h) != ERROR_SUCCESS) return;
  char name[1024];
  for (DWORD len = sizeof(name); RegEnumKeyExA(k.h, 0, name, &len, nullptr, nullptr, nullptr, nullptr) ==
                                 ERROR_SUCCESS;
       len = sizeof(name))
    DeleteRegTree(root, key + "\\" + name);
  RegCloseKey(k.h);
  k.h = nullptr;
  RegDeleteKeyExA(root, key.c_str(), ViewFor(root, key), 0);
}

std::map<std::string, std::string> SnapshotRegistry(HKEY root, const std::string& key) {
  std::map<std::string, std::string> out;
  Key k;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | g_regView, &k.h) == ERROR_SUCCESS)
    SnapshotKey(k.h, key, &out);
  return out;
}

std::vector<std::string> ReadIniSection(const std::string& file, const std::string& section) {
  std::vector<std::string> out;
  std::vector<char> buf(65536);
  DWORD n = GetPrivateProfileSectionA(section.c_str(), buf.data(), static_cast<DWORD>(buf.size()),
                                      file.c_str());
  for (const char* p = buf.data(); p < buf.data() + n && *p; p += strlen(p) + 1) {
    std::string line(p);
    size_t eq = line.find('=');
    out.push_back(Lower(line.substr(0, eq)) + (eq == std::string::npos ? "" : line.substr(eq)));
  }
  return out;
}

std::vector<std::string> ReadIniSectionNames(const std::string& file) {
  std::vector<std::string> names;
  std::vector<char> buf(65536);
  DWORD n = GetPrivateProfileSectionNamesA(buf.data(), static_cast<DWORD>(buf.size()), file.c_str());
  for (const char* p = buf.data(); p < buf.data() + n && *p; p += strlen(p) + 1) names.push_back(p);
  return names;
}

LinkInfo ReadLink(const std::string& linkPath) {
  LinkInfo info;
  WithLink(linkPath, [&](IShellLinkA* link, IPersistFile* file, const wchar_t* wide) {
    if (FAILED(file->Load(wide, STGM_READ))) return false;
    char buf[1024];
    info.loaded = true;
    if (SUCCEEDED(link->GetPath(buf, sizeof(buf), nullptr, SLGP_RAWPATH))) info.target = buf;
    if (SUCCEEDED(link->GetArguments(buf, sizeof(buf)))) info.arguments = buf;
    if (SUCCEEDED(link->GetDescription(buf, sizeof(buf)))) info.description = buf;
    if (SUCCEEDED(link->GetWorkingDirectory(buf, sizeof(buf)))) info.workingDir = buf;
    return true;
  });
  return info;
}

bool WriteLink(const std::string& linkPath, const std::string& target) {
  return WithLink(linkPath, [&](IShellLinkA* link, IPersistFile* file, const wchar_t* wide) {
    link->SetPath(target.c_str());
    return SUCCEEDED(file->Save(wide, TRUE));
  });
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

bool StartRunningProgram(RunningProgram& program, const std::string& commandLine,
                         const char* windowClass) {
  std::string cmd = commandLine;
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &program.pi))
    return false;
  WaitForInputIdle(program.pi.hProcess, 5000);
  // Under load a stand-in's window can take a while to appear.
  for (int i = 0; windowClass && i < 3000; ++i) {
    if (FindWindowA(windowClass, nullptr)) return true;
    if (WaitForSingleObject(program.pi.hProcess, 10) == WAIT_OBJECT_0) return false;
  }
  return windowClass == nullptr;
}
