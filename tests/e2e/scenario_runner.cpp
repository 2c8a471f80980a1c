// Runs the end-to-end scenario rows of scenarios/*.scn (their format is in
// scenarios/README.md): each row is one GoogleTest on a clean machine of its
// own, once with the 64-bit program and, where WoW64 can run it, once with
// the shipped 32-bit one. A failing row prints every mismatch and the
// transcript of the windows it saw.
#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

#include "app/window_logic.h"
#include "base/partial_name.h"
#include "base/payload_format.h"
#include "install/file_list_logic.h"
#include "window_driver.h"

namespace {

const char kLog[] = "C:\\standins.log";
const ULONGLONG kDay = 864000000000ull;  // in file time units

// ---- Texts ----

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r"), e = s.find_last_not_of(" \t\r");
  return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

std::vector<std::string> Split(const std::string& s, const std::string& sep) {
  std::vector<std::string> out;
  for (size_t from = 0, at = 0; at != std::string::npos; from = at + sep.size()) {
    at = s.find(sep, from);
    out.push_back(Trim(s.substr(from, at == std::string::npos ? at : at - from)));
  }
  return out;
}

std::string Join(const std::vector<std::string>& items, const char* sep) {
  std::string out;
  for (const auto& i : items) out += (out.empty() ? "" : sep) + i;
  return out;
}

// "k=v" with the key folded, as private-profile keys compare.
std::string LowerKey(const std::string& entry) {
  size_t eq = entry.find('=');
  return Lower(entry.substr(0, eq)) + (eq == std::string::npos ? "" : entry.substr(eq));
}

// A text as rows write it: a line feed as \n, a tab as \t, a carriage return
// as \r. Texts of the program are compared in this form, so that a path such
// as "\table.dat" in a row stays a path.
std::string Escaped(const std::string& s) {
  std::string out;
  for (char c : s) out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : c == '\r' ? "\\r" : std::string(1, c);
  return out;
}

// The other way, for files a row writes, with "\xNN" for a byte of another
// code page; a text taken from the lines below a "<<" is used as it stands.
std::string Unescape(const std::string& s) {
  if (s.find('\n') != std::string::npos) return s;
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    bool escape = s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'n' || s[i + 1] == 't');
    bool byte = s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x' && isxdigit(static_cast<unsigned char>(s[i + 2])) &&
                isxdigit(static_cast<unsigned char>(s[i + 3]));
    if (byte) {
      out += static_cast<char>(std::stoi(s.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += escape ? (s[++i] == 'n' ? '\n' : '\t') : s[i];
    }
  }
  return out;
}

using Fields = std::vector<std::string>;

// Field i of a line, or "" when it has fewer.
std::string F(const Fields& f, size_t i) { return i < f.size() ? f[i] : ""; }

std::vector<std::string> List(const std::string& s) {
  return s == "-" || s.empty() ? std::vector<std::string>() : Split(s, ", ");
}

// The button that Enter presses.
std::string DefaultButton(const Window& w) {
  for (size_t i = 0; i < w.buttons.size(); ++i)
    if ((GetWindowLongA(w.buttons[i], GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return w.labels[i];
  return "";
}

// ---- The machine ----

std::string Built(const std::string& name) {
  char self[MAX_PATH];
  std::string path(self, GetModuleFileNameA(nullptr, self, sizeof self));
  return path.substr(0, path.find_last_of('\\') + 1) + name;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs a console program with its output and errors on one pipe, waits for
// it and gives what it printed and its exit code; false when it did not start.
bool RunCapturing(const std::string& command, std::string& text, DWORD& code) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si = {sizeof si};
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = si.hStdError = writeEnd;
  PROCESS_INFORMATION pi;
  std::string line = command;
  BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  DWORD error = GetLastError();
  CloseHandle(writeEnd);
  text.clear();
  if (started) {
    char buffer[4096];
    DWORD got;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  CloseHandle(readEnd);
  SetLastError(error);
  return started;
}

std::string Parent(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

bool MakeFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3);; at = path.find('\\', at + 1)) {
    if (!CreateDirectoryA(path.substr(0, at).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (at == std::string::npos) return true;
  }
}

std::string ReadText(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

bool WriteText(const std::string& path, const std::string& text) {
  MakeFolders(Parent(path));
  return static_cast<bool>(std::ofstream(path, std::ios::binary) << text);
}

bool CopyTo(const std::string& from, const std::string& to) {
  return MakeFolders(Parent(to)) && CopyFileA(from.c_str(), to.c_str(), FALSE);
}

// Every file and folder below root\rel, as relative paths ("dir\" for folders).
void ListFiles(const std::string& root, const std::string& rel, std::vector<std::string>* out) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((root + "\\" + rel + "*").c_str(), &fd);
  for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) {
    std::string name = fd.cFileName;
    bool folder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (name == "." || name == "..") continue;
    out->push_back(rel + name + (folder ? "\\" : ""));
    if (folder) ListFiles(root, rel + name + "\\", out);
  }
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
}

// The bytes of every file below root, rounded up to KB as the uninstall entry counts them.
std::string FolderKb(const std::string& root) {
  std::vector<std::string> files;
  ListFiles(root, "", &files);
  ULONGLONG bytes = 0;
  WIN32_FILE_ATTRIBUTE_DATA data;
  for (const std::string& f : files)
    if (f.back() != '\\' && GetFileAttributesExA((root + "\\" + f).c_str(), GetFileExInfoStandard, &data))
      bytes += ULONGLONG(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  return std::to_string((bytes + 1023) / 1024);
}

// The fixed file information of a program's version resource, in block.
VS_FIXEDFILEINFO* FixedVersion(const std::string& path, std::vector<char>* block) {
  VS_FIXEDFILEINFO* info = nullptr;
  UINT size = 0;
  block->resize(GetFileVersionInfoSizeA(path.c_str(), nullptr) + 1);
  if (!GetFileVersionInfoA(path.c_str(), 0, block->size(), block->data()) ||
      !VerQueryValueA(block->data(), "\\", reinterpret_cast<void**>(&info), &size))
    return nullptr;
  return info;
}

std::string FileVersion(const std::string& path) {
  std::vector<char> block;
  VS_FIXEDFILEINFO* v = FixedVersion(path, &block);
  char text[64] = "";
  if (v)
    snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", v->dwFileVersionMS >> 16, v->dwFileVersionMS & 0xFFFF,
             v->dwFileVersionLS >> 16, v->dwFileVersionLS & 0xFFFF);
  return text;
}

// A copy of `from` with version "a.b.c.d": the version block goes back with
// its own length in the language it has, 0x0409.
bool CopyVersioned(const std::string& from, const std::string& to, const std::string& version) {
  std::vector<char> block;
  VS_FIXEDFILEINFO* v = FixedVersion(from, &block);
  unsigned a, b, c, d;
  if (!v || sscanf(version.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) != 4 || !CopyTo(from, to)) return false;
  v->dwFileVersionMS = v->dwProductVersionMS = a << 16 | b;
  v->dwFileVersionLS = v->dwProductVersionLS = c << 16 | d;
  HANDLE update = BeginUpdateResourceA(to.c_str(), FALSE);
  bool ok = update && UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(1), 0x409, block.data(),
                                      *reinterpret_cast<WORD*>(block.data()));
  return update && EndUpdateResourceA(update, !ok) && ok;
}

// A file, or every file below a folder, made read-only, as a CD gives them.
bool MarkReadOnly(const std::string& path) {
  std::vector<std::string> files;
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back("");
  ListFiles(path, "", &files);
  bool ok = true;
  for (const std::string& f : files)
    if (f.empty() || f.back() != '\\')
      ok = SetFileAttributesA((path + (f.empty() ? "" : "\\" + f)).c_str(), FILE_ATTRIBUTE_READONLY) && ok;
  return ok;
}

ULONGLONG WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

// Midnight UTC of "YYYY-MM-DD" as a file time; 0 for anything else.
ULONGLONG DayTime(const std::string& day) {
  SYSTEMTIME st{};
  FILETIME ft{};
  if (sscanf(day.c_str(), "%hu-%hu-%hu", &st.wYear, &st.wMonth, &st.wDay) != 3 || !SystemTimeToFileTime(&st, &ft))
    return 0;
  return ULONGLONG(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
}

bool SetWriteDay(const std::string& path, const std::string& day) {
  ULONGLONG t = DayTime(day);
  FILETIME ft{DWORD(t), DWORD(t >> 32)};
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  bool ok = t && file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, nullptr, &ft);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return ok;
}

// A private-profile section as "k=v" lines, keys folded; with no section, the section names.
std::vector<std::string> ReadIni(const std::string& file, const char* section) {
  std::vector<char> buf(4 << 20);
  DWORD n = section ? GetPrivateProfileSectionA(section, buf.data(), buf.size(), file.c_str())
                    : GetPrivateProfileSectionNamesA(buf.data(), buf.size(), file.c_str());
  std::vector<std::string> out;
  for (const char* p = buf.data(); p < buf.data() + n && *p; p += strlen(p) + 1)
    out.push_back(section ? LowerKey(p) : p);
  return out;
}

// A shell link's target, arguments, description and working folder; with
// save, a link made to point at link[0].
bool ShellLink(const std::string& path, bool save, std::string link[4]) {
  IShellLinkA* shell = nullptr;
  IPersistFile* file = nullptr;
  wchar_t wide[MAX_PATH];
  char text[4][1024] = {};
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                       reinterpret_cast<void**>(&shell))) &&
            SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            (save ? SUCCEEDED(shell->SetPath(link[0].c_str())) && SUCCEEDED(file->Save(wide, TRUE))
                  : SUCCEEDED(file->Load(wide, STGM_READ)) &&
                        SUCCEEDED(shell->GetPath(text[0], sizeof text[0], nullptr, SLGP_RAWPATH)) &&
                        SUCCEEDED(shell->GetArguments(text[1], sizeof text[1])) &&
                        SUCCEEDED(shell->GetDescription(text[2], sizeof text[2])) &&
                        SUCCEEDED(shell->GetWorkingDirectory(text[3], sizeof text[3])));
  for (int i = 0; i < 4 && !save; ++i) link[i] = text[i];
  if (file) file->Release();
  if (shell) shell->Release();
  return ok;
}

// The download with its index rewritten so that the entry of `name` says
// one byte more than the file inflates to: stored whole, with a trailer and
// checksum that match (the signature goes; the image's security entry
// then names none). 0 when the download or the name is not as expected.
bool LengthenEntry(std::string& bytes, const PayloadTrailer& trailer, const std::string& name) {
  uint64_t dataSize = trailer.payloadSize - trailer.indexSize;
  std::string kept = bytes.substr(trailer.payloadOffset + dataSize, trailer.indexSize), index(trailer.indexUnpacked, '\0');
  uLongf unpacked = trailer.indexUnpacked;
  if (trailer.indexUnpacked == trailer.indexSize)
    index = kept;
  else if (uncompress(reinterpret_cast<Bytef*>(&index[0]), &unpacked, reinterpret_cast<const Bytef*>(kept.data()),
                      kept.size()) != Z_OK)
    return false;
  std::vector<CarriedFile> files(4096);
  size_t count = 0;
  const unsigned char* raw = reinterpret_cast<const unsigned char*>(index.data());
  if (!ReadIndex(raw, index.size(), dataSize, files.data(), files.size(), &count)) return false;
  std::string rewritten(4, '\0');
  WriteIndexCount(static_cast<uint32_t>(count), reinterpret_cast<unsigned char*>(&rewritten[0]));
  bool found = false;
  for (size_t i = 0; i < count; ++i) {
    CarriedFile entry = files[i];
    if (Lower(entry.name) == Lower(name) && entry.method == kCarriedZlib) found = true, entry.size += 1;
    std::string one(strlen(entry.name) + 64, '\0');
    one.resize(WriteIndexEntry(entry, reinterpret_cast<unsigned char*>(&one[0])));
    rewritten += one;
  }
  PayloadTrailer changed = trailer;
  changed.indexSize = changed.indexUnpacked = static_cast<uint32_t>(rewritten.size());
  changed.payloadSize = dataSize + rewritten.size();
  bytes.resize(trailer.payloadOffset + dataSize);
  bytes += rewritten;
  changed.checksum = crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data() + trailer.payloadOffset), changed.payloadSize);
  unsigned char tail[kTrailerSize];
  WriteTrailer(changed, tail);
  bytes.append(reinterpret_cast<const char*>(tail), kTrailerSize);
  size_t security = SecurityDirectoryAt(reinterpret_cast<const unsigned char*>(bytes.data()), 1024);
  if (!security) return false;
  memset(&bytes[security], 0, 8);
  return found;
}

// The single-file download lfpack built of the sample package, signed, at
// path. "flip" inverts a byte of the package it carries that the cabinet's
// own checks leave alone (the first file's date: only the download's
// checksum sees it); "cut" leaves out its last 5000 bytes: the signature,
// the trailer and the package's end; "longer NAME" makes the index say one
// byte more for that compressed file (see LengthenEntry).
bool PlaceSingleFile(const std::string& path, std::string damage, int bits) {
  // "large": the download with a 32 MB file in each list (64-bit only).
  bool large = damage.compare(0, 5, "large") == 0;
  if (large) damage = damage.size() > 5 ? damage.substr(6) : "";
  std::string bytes =
      ReadText(Built(large ? "QuillaraSetupLarge.exe" : bits == 32 ? "QuillaraSetup32.exe" : "QuillaraSetup.exe"));
  const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
  uint64_t end = bytes.size() < 100000 ? 0 : SignedImageEnd(data, 1024, bytes.size());
  PayloadTrailer trailer;
  if (!end || ReadTrailer(data + end - kTrailerSize - 7, kTrailerSize + 7, end, &trailer) != 1) return false;
  // A byte in the middle of the carried files: one of them.
  if (damage == "flip") bytes[trailer.payloadOffset + (trailer.payloadSize - trailer.indexSize) / 2] ^= 0x01;
  if (damage == "cut") bytes.resize(bytes.size() - 5000);
  if (damage.compare(0, 7, "longer ") == 0 && !LengthenEntry(bytes, trailer, damage.substr(7))) return false;
  return (damage.empty() || damage == "flip" || damage == "cut" || damage.compare(0, 7, "longer ") == 0) &&
         WriteText(path, bytes);
}

// A file of `megabytes` MB of text that compresses as a product's data does
// (random letters of a 64-letter alphabet: zlib keeps about three quarters).
bool WriteLarge(const std::string& path, const std::string& megabytes) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes(static_cast<size_t>(std::stoul(megabytes)) << 20, ' ');
  unsigned long long state = 0x9E3779B97F4A7C15ull ^ std::hash<std::string>()(path);
  for (char& c : bytes) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    c = kLetters[state >> 58];
  }
  return !bytes.empty() && WriteText(path, bytes);
}

// COUNT files below the package, NAME0001.txt and on, each with its own
// text, and their lines at the end of the setup script's SECTION.
bool AddListedFiles(const std::string& package, const std::string& section, const std::string& count,
                    const std::string& name) {
  std::string script = package + "\\LFSetup.inf", text = ReadText(script), lines;
  size_t header = Lower(text).find("[" + Lower(section) + "]");
  if (header == std::string::npos) return false;
  size_t end = text.find("\n[", header);
  end = end == std::string::npos ? text.size() : end + 1;
  for (unsigned long i = 1, n = std::stoul(count); i <= n; ++i) {
    char file[MAX_PATH];
    snprintf(file, sizeof file, "%s%04lu.txt", name.c_str(), i);
    if (!WriteText(package + "\\" + file, "file " + std::to_string(i) + " of " + name + "\r\n")) return false;
    lines += std::string(file) + "\r\n";
  }
  if (end > 0 && text[end - 1] != '\n') lines = "\r\n" + lines;
  return WriteText(script, text.insert(end, lines));
}

// ---- The registry, in the view the program under test sees ----

REGSAM g_view = 0;  // KEY_WOW64_32KEY for the 32-bit program

struct Key {
  HKEY h = nullptr;
  ~Key() {
    if (h) RegCloseKey(h);
  }
};

// As on 64-bit Windows 7 and later, a 32-bit program shares the classes with
// 64-bit ones, but for the few class subkeys that stay redirected.
REGSAM ViewFor(const std::string& root, const std::string& key) {
  std::string k = Lower(key) + "\\";
  if (root == "HKLM" && k.compare(0, 17, "software\\classes\\") == 0)
    k = k.substr(17);
  else if (root != "HKCR")
    return g_view;
  for (const char* redirected : {"clsid\\", "directshow\\", "interface\\", "media type\\", "mediafoundation\\"})
    if (k.compare(0, strlen(redirected), redirected) == 0) return g_view;
  return 0;
}

// Opens (or with create, makes) "HKLM\...", "HKCU\..." or "HKCR\...".
bool OpenKey(const std::string& path, REGSAM access, bool create, Key* k) {
  std::string root = path.substr(0, 4), key = path.size() > 5 ? path.substr(5) : "";
  HKEY h = root == "HKLM" ? HKEY_LOCAL_MACHINE : root == "HKCU" ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
  if ((root != "HKLM" && root != "HKCU" && root != "HKCR") || (path.size() > 4 && path[4] != '\\')) return false;
  access |= ViewFor(root, key);
  return !(create ? RegCreateKeyExA(h, key.c_str(), 0, nullptr, 0, access, nullptr, &k->h, nullptr)
                  : RegOpenKeyExA(h, key.c_str(), 0, access, &k->h));
}

// The one folder below parent, or "" when there is not exactly one.
std::string OnlyFolderBelow(const std::string& parent) {
  std::vector<std::string> entries;
  ListFiles(parent, "", &entries);
  std::vector<std::string> folders;
  for (const std::string& e : entries)
    if (e.back() == '\\' && e.find('\\') == e.size() - 1) folders.push_back(e);
  return folders.size() == 1 ? parent + "\\" + folders[0].substr(0, folders[0].size() - 1) : "";
}

// "" when every entry of the folder's access list lets in only the running
// user, the Administrators or SYSTEM (and there is one); else the list.
std::string NotPrivate(const std::string& folder) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                            nullptr, &sd))
    return "no access list";
  HANDLE token = nullptr;
  std::vector<BYTE> user(512);
  DWORD size = 0;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  GetTokenInformation(token, TokenUser, user.data(), user.size(), &size);
  CloseHandle(token);
  PSID admins = nullptr, system = nullptr;
  ConvertStringSidToSidA("BA", &admins);
  ConvertStringSidToSidA("SY", &system);
  bool allowed = dacl && dacl->AceCount > 0;
  for (DWORD i = 0; allowed && i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    GetAce(dacl, i, reinterpret_cast<void**>(&ace));
    PSID sid = &ace->SidStart;
    allowed = EqualSid(sid, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid) || EqualSid(sid, admins) ||
              EqualSid(sid, system);
  }
  char* text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
  std::string list = text ? text : "?";
  LocalFree(text);
  LocalFree(admins);
  LocalFree(system);
  LocalFree(sd);
  return allowed ? "" : list;
}

// The files and folders Windows is to delete at its next start (folded).
std::vector<std::string> PendingDeletions() {
  std::vector<std::string> out;
  std::vector<char> data(65536);
  DWORD size = data.size() - 2;
  Key k;
  if (!OpenKey("HKLM\\System\\CurrentControlSet\\Control\\Session Manager", KEY_QUERY_VALUE, false, &k) ||
      RegQueryValueExA(k.h, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                       &size))
    return out;
  // Pairs of names; a deletion is a name followed by an empty one.
  for (const char *p = data.data(), *end = p + size; p < end && *p;) {
    std::string from = p;
    p += from.size() + 1;
    bool deletion = p < end && !*p;
    p += strlen(p) + 1;
    if (deletion) out.push_back(Lower(from.compare(0, 4, "\\??\\") == 0 ? from.substr(4) : from));
  }
  return out;
}

std::string Typed(DWORD type, const BYTE* data, DWORD size) {
  if (type == REG_DWORD && size == 4) return "dword:" + std::to_string(*reinterpret_cast<const DWORD*>(data));
  if (type != REG_SZ) return "type" + std::to_string(type) + ":" + std::to_string(size) + " bytes";
  // The stored length counts the terminator: one written without shows as "sz-unterminated:".
  bool ended = size && !data[size - 1];
  return (ended ? "sz:" : "sz-unterminated:") + std::string(reinterpret_cast<const char*>(data), size - ended);
}

// "sz:text" or "dword:n"; "" when the value is absent.
std::string ReadValue(const std::string& path, const std::string& name) {
  Key k;
  BYTE data[4096];
  DWORD type = 0, size = sizeof data;
  bool found =
      OpenKey(path, KEY_QUERY_VALUE, false, &k) && !RegQueryValueExA(k.h, name.c_str(), nullptr, &type, data, &size);
  return found ? Typed(type, data, size) : "";
}

bool WriteValue(const std::string& path, const std::string& name, const std::string& typed) {
  Key k;
  DWORD number = strtoul(typed.c_str() + std::min<size_t>(6, typed.size()), nullptr, 10);
  bool dword = typed.compare(0, 6, "dword:") == 0;
  if ((!dword && typed.compare(0, 3, "sz:") != 0) || !OpenKey(path, KEY_ALL_ACCESS, true, &k)) return false;
  return !(dword ? RegSetValueExA(k.h, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4)
                 : RegSetValueExA(k.h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(typed.c_str() + 3),
                                  typed.size() - 2));
}

// A whole tree as "path\name" -> typed value ("path\" -> "key" for keys).
void SnapshotKey(HKEY parent, const std::string& name, const std::string& path,
                 std::map<std::string, std::string>* out) {
  Key k;
  if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | g_view, &k.h)) return;
  (*out)[path + "\\"] = "key";
  char item[16384];
  BYTE data[4096];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof item, type = 0, size = sizeof data;
    if (RegEnumValueA(k.h, i, item, &length, nullptr, &type, data, &size)) break;
    (*out)[path + "\\" + item] = Typed(type, data, size);
  }
  for (DWORD i = 0, length = sizeof item; !RegEnumKeyExA(k.h, i, item, &length, nullptr, nullptr, nullptr, nullptr);
       ++i, length = sizeof item)
    SnapshotKey(k.h, item, path + "\\" + item, out);
}

// The whole registry and C: as the program sees them.
std::map<std::string, std::string> Snapshot() {
  // Wine writes its display settings the first time a program touches the
  // desktop; that happens here, before the snapshot, not in the program's run.
  DestroyWindow(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  std::map<std::string, std::string> all;
  SnapshotKey(HKEY_LOCAL_MACHINE, "", "HKLM", &all);
  SnapshotKey(HKEY_CURRENT_USER, "", "HKCU", &all);
  // Wine rewrites its font code pages, and for a 32-bit program the fonts
  // of its registry view, whenever a program of another code page than the
  // last one starts (the setup's UTF-8, a Windows program's own): records of
  // Wine's, not of the program under test.
  all.erase("HKCU\\Software\\Wine\\Fonts\\Codepages");
  for (const char* font : {"OEMFONT.FON", "FIXEDFON.FON", "FONTS.FON"})
    all.erase(std::string("HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts\\") + font);
  const std::string fonts = Lower("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Fonts\\");
  for (auto it = all.begin(); it != all.end();)
    it = Lower(it->first).compare(0, fonts.size(), fonts) == 0 ? all.erase(it) : std::next(it);
  std::vector<std::string> files;
  ListFiles("C:", "", &files);
  for (const std::string& f : files) all["C:\\" + f] = "file";
  return all;
}

// ---- Loading the rows ----

struct Line {
  std::string where, text;  // where: file:line
};
struct Row {
  std::string title, file;
  int line;
  std::vector<Line> lines;
};

// A block: its parameters' names and its lines.
struct Block {
  std::vector<std::string> params;
  std::vector<Line> lines;
};

std::map<std::string, std::string> g_lets;
std::map<std::string, Block> g_blocks;
std::vector<Row> g_rows;
std::vector<std::string> g_loadErrors;

// Each "$param" of text (lower-case letters) replaced by its value; names
// not among values stay as they are.
std::string WithParams(const std::string& text, const std::map<std::string, std::string>& values) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    size_t end = i + 1;
    while (text[i] == '$' && end < text.size() && islower(static_cast<unsigned char>(text[end]))) ++end;
    auto value = end > i + 1 ? values.find(text.substr(i + 1, end - i - 1)) : values.end();
    if (value == values.end()) {
      out += text[i];
      continue;
    }
    out += value->second;
    i = end - 1;
  }
  return out;
}

// A "use NAME | param=value | ..." line as the block's lines, each $param
// replaced by its value (a parameter not given is empty).
void ExpandUse(const Line& use, std::vector<Line>* out, int depth) {
  std::vector<std::string> args = Split(use.text.substr(4), "|");
  auto block = g_blocks.find(args[0]);
  if (block == g_blocks.end() || depth > 8) return g_loadErrors.push_back(use.where + ": no block named '" + args[0] + "'");
  std::map<std::string, std::string> values;
  for (const std::string& param : block->second.params) values[param] = "";
  for (size_t i = 1; i < args.size(); ++i) {
    std::string param = args[i].substr(0, args[i].find('='));
    if (args[i].find('=') == std::string::npos || !values.count(param))
      g_loadErrors.push_back(use.where + ": block '" + args[0] + "' has no parameter '" + param + "'");
    else
      values[param] = args[i].substr(param.size() + 1);
  }
  for (Line line : block->second.lines) {
    line.text = WithParams(line.text, values);
    line.where = use.where + " (" + line.where + ")";
    if (line.text.compare(0, 4, "use ") == 0)
      ExpandUse(line, out, depth + 1);
    else
      out->push_back(line);
  }
}

void LoadFile(const std::string& path, const std::string& name) {
  std::istringstream in(ReadText(path));
  std::vector<Line>* block = nullptr;  // the row or block being read
  int number = 0;
  for (std::string raw; std::getline(in, raw);) {
    std::string text = Trim(raw);
    Line line{name + ":" + std::to_string(++number), text};
    if (text.empty() || text[0] == '#') continue;
    // "<<" at the end of a line takes the following lines, up to ".", as its last field.
    if (text.size() > 2 && text.compare(text.size() - 2, 2, "<<") == 0) {
      line.text = Trim(text.substr(0, text.size() - 2)) + " | ";
      for (std::string more; std::getline(in, more) && (++number, Trim(more) != ".");) line.text += more + "\n";
    }
    if (text.compare(0, 4, "=== ") == 0) {
      g_rows.push_back(Row{text.substr(4), name, number, {}});
      block = &g_rows.back().lines;
    } else if (text.compare(0, 4, "let ") == 0 && text.find(" = ") != std::string::npos) {
      g_lets[Trim(text.substr(4, text.find(" = ") - 4))] = text.substr(text.find(" = ") + 3);
    } else if (text.compare(0, 7, "define ") == 0) {
      // "define NAME | param, param": the names its "use" lines give values.
      std::vector<std::string> head = Split(text.substr(7), "|");
      Block& defined = g_blocks[head[0]];
      defined.params = List(F(head, 1));
      block = &defined.lines;
    } else if (text == "enddef" || !block) {
      if (text != "enddef") g_loadErrors.push_back(line.where + ": outside a row: " + text);
      block = nullptr;
    } else {
      block->push_back(line);
    }
  }
}

// Every file is read before the blocks are expanded: a row may use a block
// that a later file defines.
void LoadScenarios() {
  WIN32_FIND_DATAA fd;
  std::vector<std::string> names;
  HANDLE h = FindFirstFileA(Built("scenarios\\*.scn").c_str(), &fd);
  for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) names.push_back(fd.cFileName);
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  std::sort(names.begin(), names.end());
  for (const auto& n : names) LoadFile(Built("scenarios\\" + n), n);
  for (Row& row : g_rows) {
    std::vector<Line> expanded;
    for (const Line& l : row.lines) {
      if (l.text.compare(0, 4, "use ") == 0)
        ExpandUse(l, &expanded, 0);
      else
        expanded.push_back(l);
    }
    row.lines = expanded;
  }
}

// ---- Running one row ----

struct RowRun {
  const Row& row;
  int bits;
  std::string where, transcript;
  std::vector<std::string> failures;
  std::map<std::string, std::string> vars, snapshot;
  std::unique_ptr<Run> run;                   // the program the row started last, until it has ended
  std::vector<std::unique_ptr<Run>> running;  // programs beside it ("given running")
  long expectedExit = -1;                     // -1: every process exits with 0
  long otherExit = -1;                        // "exit N or M": M, also taken
  ULONGLONG runStart = 0, runTicks = 0;       // the last run's start (file time) and length (ms)
  size_t processes = 0;                       // of the last run
  std::vector<std::string> log, output;       // the start log's lines not yet expected; the last check's lines
  bool logRead = false;
  size_t outputAt = 0;
  // "given end-after": the next run is ended at a line of its log by the
  // ender stand-in, which runs beside it until then.
  struct Ending {
    std::string log, kind, writing;
    long line = 0;
    HANDLE ender = nullptr;
  } ending;
  unsigned long long randomState = 0;  // "random SEED/MAX" draws, per row
  // The last run's progress bars as the driver read them, and how they answered.
  std::vector<ProgressSample> progress;
  int unanswered = 0;
  DWORD slowestAnswerMs = 0;

  DWORD WaitMs() const { return bits == 32 ? 240000 : 30000; }  // WoW64 programs may start through an emulator
  std::string Setup() const { return Built(bits == 32 ? "LFSetup32.exe" : "LFSetup.exe"); }

  bool Fail(const std::string& what) {
    failures.push_back(where + ": " + what);
    return false;
  }

  void Compare(const std::string& what, const std::string& expected, const std::string& actual) {
    if (expected != actual)
      Fail(what + "\n    expected \"" + Escaped(expected) + "\"\n    actual   \"" + Escaped(actual) + "\"");
  }

  void CompareSets(const std::string& what, std::vector<std::string> expected, std::vector<std::string> actual) {
    std::vector<std::string> missing, extra;
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(), std::back_inserter(extra));
    if (!missing.empty() || !extra.empty())
      Fail(what + " (- expected, + actual):" + (missing.empty() ? "" : "\n    - " + Join(missing, "\n    - ")) +
           (extra.empty() ? "" : "\n    + " + Join(extra, "\n    + ")));
  }

  // $NAME, $SHORT{path} (the path's short form), $N{count} (that many "n") and
  // $KB{folder} (the KB of the files below it).
  std::string Expand(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
      size_t j = i + 1;
      while (s[i] == '$' && j < s.size() &&
             (isupper(static_cast<unsigned char>(s[j])) || isdigit(static_cast<unsigned char>(s[j])) || s[j] == '_'))
        ++j;
      std::string name = s.substr(i + 1, j - i - 1);
      bool braced = (name == "SHORT" || name == "N" || name == "KB") && j < s.size() && s[j] == '{';
      std::string inner = braced ? Expand(s.substr(j + 1, s.find('}', j) - j - 1)) : "";
      char shortPath[MAX_PATH];
      DWORD n = braced ? GetShortPathNameA(inner.c_str(), shortPath, sizeof shortPath) : 0;
      if (name.empty())
        out += s[i];
      else if (braced)
        out += name == "N"                 ? std::string(strtoul(inner.c_str(), nullptr, 10), 'n')
               : name == "KB"              ? FolderKb(inner)
               : n && n < sizeof shortPath ? shortPath
                                           : inner;
      else if (vars.count(name))
        out += Expand(vars[name]);
      else
        Fail("unknown variable $" + name);
      i = braced ? std::min(s.find('}', j), s.size()) : j - 1;
    }
    return out;
  }

  bool StartRun(const std::string& commandLine, const std::string& workDir, bool inherit) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    runStart = ULONGLONG(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    runTicks = GetTickCount64();
    expectedExit = otherExit = -1;
    // Once the start log was checked, each run logs afresh.
    if (logRead && !log.empty()) Fail("unexpected program starts:\n    " + Join(log, "\n    "));
    if (logRead) DeleteFileA(kLog);
    logRead = false;
    log.clear();
    run.reset(new Run);
    // The programs the setup starts log their starts; those beside it do not.
    SetEnvironmentVariableA("LF_STANDIN_LOG", kLog);
    bool ended = ending.line > 0;
    if (ended) DeleteFileA(ending.log.c_str());
    bool started = Start(*run, commandLine, workDir, inherit, ended);
    SetEnvironmentVariableA("LF_STANDIN_LOG", nullptr);
    if (started && ended && !StartEnder()) return Fail("cannot start the ender stand-in");
    if (started) return true;
    transcript += run->transcript;
    run.reset();
    return Fail("cannot start " + commandLine);
  }

  // The ender stand-in for the suspended run, which goes on once the stand-in
  // watches its log.
  bool StartEnder() {
    std::string name = "LFEnderReady" + std::to_string(GetCurrentProcessId());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
    std::string command = "\"" + Built("ender_standin.exe") + "\" " + std::to_string(run->procs[0].pid) + " \"" +
                          ending.log + "\" " + std::to_string(ending.line) + " \"" + ending.kind + "\" " + name +
                          (ending.writing.empty() ? "" : " \"" + ending.writing + "\"");
    STARTUPINFOA si = {sizeof si};
    PROCESS_INFORMATION pi;
    bool started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                                  &si, &pi);
    if (started) {
      CloseHandle(pi.hThread);
      ending.ender = pi.hProcess;
      HANDLE both[] = {ready, pi.hProcess};
      started = WaitForMultipleObjects(2, both, FALSE, 10000) == WAIT_OBJECT_0;
    }
    CloseHandle(ready);
    transcript += "ender: " + command + (started ? "\n" : " (did not start)\n");
    Resume(*run);
    return started;
  }

  // After a run the ender watched: it must have struck, and the program then
  // ends with exit code 1, as Task Manager's "End task" leaves it.
  void FinishEnding() {
    DWORD code = 3;
    if (WaitForSingleObject(ending.ender, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(ending.ender, &code);
    CloseHandle(ending.ender);
    if (code != 0)
      Fail("the run was not ended at line " + std::to_string(ending.line) + " of kind \"" + ending.kind + "\" of " +
           ending.log + (code == 2 ? ": it ended before" : ": the ender failed"));
    transcript += "ender: the run was ended at line " + std::to_string(ending.line) + " of kind \"" + ending.kind +
                  "\"\n";
    ending = Ending();
  }

  bool FinishRun() {
    if (!run) return true;
    if (ending.ender && expectedExit < 0) expectedExit = 1;
    bool ended = ending.ender ? WaitForEndOfEnded(*run, WaitMs(), 5000) : WaitForEnd(*run, WaitMs());
    if (ending.ender) FinishEnding();
    runTicks = GetTickCount64() - runTicks;
    processes = 0;
    for (const Process& p : run->procs) {
      // Wine's menu builder, which each shortcut save tries to start, is
      // switched off here: it ends at once with "DLL not found". A process
      // gone before the driver could open it has no name and no code.
      if (!p.handle || p.exitCode == 0xC0000135 || Lower(p.name) == "winemenubuilder.exe") continue;
      ++processes;
      if (expectedExit < 0 && ended && p.exitCode)
        Fail(p.name + " (pid " + std::to_string(p.pid) + ") exit code " + std::to_string(p.exitCode));
    }
    long code = static_cast<long>(run->procs[0].exitCode);
    if (expectedExit >= 0 && code != otherExit) Compare("exit code", std::to_string(expectedExit), std::to_string(code));
    if (!ended) Fail("expected the program to end without another window");
    progress = run->progress;
    unanswered = run->unanswered;
    slowestAnswerMs = run->slowestAnswerMs;
    End(*run);
    transcript += run->transcript;
    run.reset();
    return ended;
  }

  bool Ask(const std::vector<std::string>& f) {
    Window w;
    std::string caption = f[0], text = f.size() > 1 ? f[1] : "", button = f.size() > 2 ? f[2] : "";
    if (!run) return Fail("an answer without a running program");
    if (!NextWindow(*run, &w, WaitMs()))
      return Fail("expected window \"" + caption + "\" with \"" + text + "\", none came");
    if (Escaped(w.caption) != caption || Escaped(w.text) != text)
      return Fail("window differs\n    expected \"" + caption + "\" \"" + text + "\"\n    actual   \"" +
                  Escaped(w.caption) + "\" \"" + Escaped(w.text) + "\"");
    size_t failed = failures.size();
    for (size_t i = 3; i < f.size(); ++i) {
      std::string option = f[i].substr(0, f[i].find(' ')), value = Trim(f[i].substr(option.size()));
      if (option == "from-copy" &&
          (w.pid == run->procs[0].pid || WaitForSingleObject(run->procs[0].handle, 0) != WAIT_OBJECT_0))
        Fail("the window should come from the relocated copy after the first process ended");
      if ((option == "type" && !value.empty() && !TypeText(*run, w, value)) ||
          (option == "select" && !SelectFolder(*run, w, value)))
        Fail("cannot " + f[i] + " in \"" + caption + "\"");
      // A wizard sets its buttons just after it shows a page.
      for (int tries = 0; option == "buttons" && tries < 100 && EnabledButtons(w) != value; ++tries, Describe(&w))
        Sleep(20);
      if (option == "buttons") Compare("enabled buttons of \"" + caption + "\"", value, EnabledButtons(w));
      if (option == "default") Compare("default button of \"" + caption + "\"", value, DefaultButton(w));
      // The programs beside the setup end before the press, as a user closes them while the message waits.
      if (option == "stopped") running.clear();
      // "above-progress": owned by the progress window, so that it comes up
      // above it and takes the keyboard.
      if (option == "above-progress" && !FindWindowExA(GetWindow(w.hwnd, GW_OWNER), nullptr, "msctls_progress32", nullptr))
        Fail("\"" + caption + "\" is not owned by the progress window");
      if (option == "private") {
        std::string folder = OnlyFolderBelow(value), list = folder.empty() ? "" : NotPrivate(folder);
        if (folder.empty() || !list.empty())
          Fail("not one private folder below " + value + (folder.empty() ? "" : ": " + folder + " admits " + list));
      }
    }
    return (failures.size() == failed && Press(*run, w, button)) ||
           Fail("cannot press [" + button + "] in \"" + caption + "\"");
  }

  // The hidden main window keeps its computed place and stays hidden even
  // when another program tries to show or move it.
  bool PokeMainWindow() {
    HWND main = nullptr;
    for (int i = 0; i < 3000 && !main; ++i, Sleep(10)) main = FindWindowA("InstallWClass", "Install");
    RECT work, before, after;
    auto place = [](const RECT& r) {
      return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left);
    };
    if (!main) return Fail("no main window");
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(main, &before);
    Compare("main window place",
            std::to_string(WindowOrigin(work.right - work.left, 440)) + "," +
                std::to_string(WindowOrigin(work.bottom - work.top, 270)),
            place(before).substr(0, place(before).find(' ')));
    ShowWindowAsync(main, SW_SHOWNORMAL);
    SetWindowPos(main, HWND_TOP, 5, 5, 100, 100, SWP_ASYNCWINDOWPOS | SWP_SHOWWINDOW);
    DWORD_PTR ignored;
    // A message sent after the requests returns once they have been handled.
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    GetWindowRect(main, &after);
    if (IsWindowVisible(main)) Fail("the main window became visible");
    Compare("main window after a move", place(before), place(after));
    return true;
  }

  // The package checker on a folder; "expect output" matches the lines it prints.
  // It is started directly, its output and errors on one pipe: through cmd, a
  // failed start reads as exit code 9009 and hides why it failed.
  void Check(const std::vector<std::string>& f) {
    std::string options = f.size() > 1 && !f[1].empty() ? f[1] + " " : "";
    std::string command = "\"" + Built("lfpack.exe") + "\" check " + options + "\"" + f[0] + "\"";
    std::string text;
    DWORD code = 0, started = 0;
    // Under a busy Wine a start now and then fails at once; a second start
    // is a new try, not a new run of anything the row checks.
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
      if (attempt) Sleep(500);
      started = RunCapturing(command, text, code);
      if (!started) transcript += "starting " + command + " failed with error " + std::to_string(GetLastError()) + "\n";
    }
    if (!started) {
      Fail("could not start " + command + "; the transcript gives the errors");
      return;
    }
    output.clear();
    outputAt = 0;
    for (size_t at = 0; at < text.size();) {
      size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      output.push_back(Trim(text.substr(at, end - at)));
      at = end + 1;
    }
    Compare("exit code of " + command + "\n    " + Join(output, "\n    "), f.size() > 2 ? f[2] : "0",
            std::to_string(code));
  }

  // A sample package in dir: the program, the sample's script, licence and
  // files, and the stand-in as the viewer and its control program.
  bool GivenPackage(const std::string& dir) {
    std::string standin = Built("viewer_standin.exe");
    bool ok = CopyTo(Setup(), dir + "\\LFSetup.exe") && CopyTo(standin, dir + "\\LFViewer.exe") &&
              CopyTo(standin, dir + "\\LFCtrl.exe");
    for (const char* file : {"license.txt", "readme.txt", "quickstart.txt", "welcome.vorn", "LFSetup.inf"})
      ok = ok && CopyTo(Built("sample-package\\") + file, dir + "\\" + file);
    return ok;
  }

  // "given end-after LOG | KIND | N": N a line number, or "random SEED/MAX",
  // a line drawn from 1 to MAX by the row's generator, seeded at its first
  // draw, so that every run of the row draws the same lines.
  bool GivenEndAfter(const Fields& f) {
    std::string n = F(f, 2);
    unsigned long long seed = 0, most = 0;
    if (sscanf(n.c_str(), "random %llu/%llu", &seed, &most) == 2 && most > 0) {
      if (!randomState) randomState = seed * 6364136223846793005ull + 1442695040888963407ull;
      randomState = randomState * 6364136223846793005ull + 1442695040888963407ull;
      ending.line = static_cast<long>((randomState >> 33) % most) + 1;
    } else {
      ending.line = strtol(n.c_str(), nullptr, 10);
    }
    ending.log = f[0];
    ending.kind = F(f, 1);
    // "writing PATH": ended once that file is there, after the line.
    ending.writing = F(f, 3).compare(0, 8, "writing ") == 0 ? F(f, 3).substr(8) : "";
    return ending.line > 0 && !ending.kind.empty();
  }

  bool GivenRunning(const std::string& what) {
    // The browser stand-in is ready once its window is there; under load that can take a while.
    bool browser = what == "browser" || what == "browser-ignoring-close";
    std::string standin = "\"" + Built("viewer_standin.exe") + "\" --browser";
    running.emplace_back(new Run);
    if (!Start(*running.back(), browser ? standin + (what == "browser" ? "" : " --ignore-close") : what, "", false))
      return false;
    WaitForInputIdle(running.back()->procs[0].handle, 5000);
    for (int i = 0; browser && i < 3000 && !FindWindowA("LumenFieldClass", nullptr); ++i) Sleep(10);
    return !browser || FindWindowA("LumenFieldClass", nullptr);
  }

  bool ExpectLink(const std::string& path, const Fields& f) {
    std::string link[4];
    if (!ShellLink(path, false, link)) return Fail("no link " + path);
    Compare("link " + path, Lower(F(f, 1)) + " | " + F(f, 2) + " | " + F(f, 3) + " | ",
            Lower(link[0]) + " | " + link[1] + " | " + link[2] + " | " + link[3]);
    return true;
  }

  // The next line of the last check's output that begins with text.
  bool ExpectOutput(const std::string& text) {
    while (outputAt < output.size() && output[outputAt].compare(0, text.size(), text) != 0) ++outputAt;
    return outputAt++ < output.size() ||
           Fail("no further line of the check begins with \"" + text + "\"; it printed:\n    " + Join(output, "\n    "));
  }

  bool ExpectKey(const std::string& key, bool present) {
    Key k;
    return OpenKey(key, KEY_READ, false, &k) == present || Fail(key + (present ? " is missing" : " exists"));
  }

  bool ExpectExists(const std::string& path, bool present) {
    // A file deleted on close goes just after the process that held it ends.
    for (int i = 0; i < 200 && !present && Exists(path); ++i) Sleep(10);
    return Exists(path) == present || Fail(path + (present ? " is missing" : " exists"));
  }

  bool ExpectPending(const std::string& path) {
    std::vector<std::string> pending = PendingDeletions();
    return !Exists(path) || std::find(pending.begin(), pending.end(), Lower(path)) != pending.end() ||
           Fail(path + " is there and not to be deleted at restart");
  }

  bool ExpectBrowser(const std::string& state) {
    bool alive = !running.empty() &&
                 WaitForSingleObject(running[0]->procs[0].handle, state == "ended" ? 5000 : 0) == WAIT_TIMEOUT;
    return alive == (state == "running") || Fail("the browser should have " + state);
  }

  bool ExpectFiles(const std::string& folder, const std::string& expected) {
    std::vector<std::string> files;
    ListFiles(folder, "", &files);
    CompareSets("files below " + folder, List(expected), files);
    return true;
  }

  // Every file of the package's "Core" and "Content" lists is below folder
  // with the bytes of the package's file (a starred line's file: there),
  // and no partial file is left below it.
  bool ExpectInstalled(const std::string& folder, const std::string& package) {
    std::string destFolder = folder + "\\", sourceFolder = package + "\\";
    for (const char* section : {"Core", "Content"}) {
      std::vector<char> list(1 << 20);
      GetPrivateProfileSectionA(section, list.data(), list.size(), (package + "\\LFSetup.inf").c_str());
      for (const char* text = list.data(); *text; text += strlen(text) + 1) {
        FileListLine line;
        if (ParseFileListLine(destFolder.c_str(), sourceFolder.c_str(), text, &line) != kListLineFile) continue;
        if (!Exists(line.dest))
          Fail(std::string(line.dest) + " is missing");
        else if (line.compare && ReadText(line.dest) != ReadText(line.source))
          Fail(std::string(line.dest) + " does not hold the bytes of " + line.source);
      }
    }
    std::vector<std::string> files;
    ListFiles(folder, "", &files);
    for (const std::string& f : files)
      if (IsPartialName(f.c_str())) Fail("a partial file is left: " + folder + "\\" + f);
    if (Exists(folder + kPartialSuffix)) Fail("a partial folder is left: " + folder + kPartialSuffix);
    return true;
  }

  // Every line of the package's "Core" list is recorded: its destination a
  // key with an empty value in the script's section.
  bool ExpectRecorded(const std::string& script, const std::string& section, const std::string& package) {
    std::vector<std::string> recorded = ReadIni(script, section.c_str());
    std::set<std::string> keys(recorded.begin(), recorded.end());
    std::vector<char> list(4 << 20);
    GetPrivateProfileSectionA("Core", list.data(), list.size(), (package + "\\LFSetup.inf").c_str());
    size_t lines = 0;
    for (const char* text = list.data(); *text; text += strlen(text) + 1) {
      FileListLine line;
      if (ParseFileListLine("C:\\", (package + "\\").c_str(), text, &line) != kListLineFile) continue;
      ++lines;
      if (!keys.count(LowerKey(std::string(line.dest + line.destStart) + "=")))
        Fail(std::string(line.dest + line.destStart) + " is not recorded in [" + section + "] of " + script);
    }
    return lines > 0 || Fail("the package's \"Core\" list is empty");
  }

  // "expect progress | none", or "| STEPS | TEXT, …": the last run's bar
  // moved forward only, in at least STEPS steps, to its range's end; its
  // text named each TEXT; its window answered every time within a second.
  bool ExpectProgress(const Fields& f) {
    if (f[0] == "none")
      return progress.empty() || Fail("a progress bar was shown: " + std::to_string(progress.size()) + " positions");
    if (progress.empty()) return Fail("no progress bar was seen");
    std::set<int> positions;
    std::string seen;
    for (size_t i = 0; i < progress.size(); ++i) {
      positions.insert(progress[i].position);
      seen += progress[i].text + "\n";
      if (i > 0 && progress[i].position < progress[i - 1].position)
        Fail("the bar went back from " + std::to_string(progress[i - 1].position) + " to " +
             std::to_string(progress[i].position));
    }
    if (positions.size() < std::stoul(f[0]))
      Fail("the bar took " + std::to_string(positions.size()) + " positions, fewer than " + f[0]);
    if (progress.back().position != progress.back().range)
      Fail("the bar ended at " + std::to_string(progress.back().position) + " of " +
           std::to_string(progress.back().range));
    for (const std::string& text : List(F(f, 1)))
      if (seen.find(text) == std::string::npos) Fail("the progress window never said \"" + text + "\"");
    if (unanswered)
      Fail("the progress window did not answer within a second " + std::to_string(unanswered) + " times (slowest " +
           std::to_string(slowestAnswerMs) + " ms)");
    return true;
  }

  bool ExpectIni(const std::string& file, const std::string& section, const std::string& entries) {
    std::vector<std::string> keys = List(entries);
    // A last entry "...": these entries and maybe more.
    bool atLeast = !keys.empty() && keys.back() == "...";
    if (atLeast) keys.pop_back();
    std::transform(keys.begin(), keys.end(), keys.begin(), LowerKey);
    std::vector<std::string> actual = ReadIni(file, section.c_str());
    if (atLeast)
      actual.erase(std::remove_if(actual.begin(), actual.end(),
                                  [&](const std::string& a) { return std::find(keys.begin(), keys.end(), a) == keys.end(); }),
                   actual.end());
    CompareSets("[" + section + "] of " + file, keys, actual);
    return true;
  }

  // The lines given, in this order, among the lines of the file.
  void ExpectLines(const std::string& file, const std::string& wanted) {
    std::string text = ReadText(file);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    std::vector<std::string> actual = Split(text, "\n");
    size_t at = 0;
    for (const std::string& want : Split(wanted, "\n")) {
      // "!TEXT": no line after the last one found begins with TEXT.
      for (size_t later = at; want[0] == '!' && later < actual.size(); ++later)
        if (actual[later].compare(0, want.size() - 1, want, 1, std::string::npos) == 0)
          return (void)Fail(file + " has, after the lines before it: " + actual[later]);
      if (!want.empty() && want[0] == '!') continue;
      while (!want.empty() && at < actual.size() && actual[at] != want) ++at;
      if (!want.empty() && at++ == actual.size()) {
        Fail(file + " lacks, after the lines before it: " + want + "\n    " + Join(actual, "\n    "));
        return;
      }
    }
  }

  // The registry and C: as at the snapshot, but for the leftovers named.
  void ExpectUnchanged(const std::vector<std::string>& leftovers) {
    std::map<std::string, std::string> now = Snapshot(), before = snapshot;
    for (const std::string& leftover : leftovers) {
      if (!now.erase(leftover)) Fail("expected leftover missing: " + leftover);
      before.erase(leftover);
    }
    std::vector<std::string> was, is;
    for (const auto& kv : before) was.push_back(kv.first + " = " + kv.second);
    for (const auto& kv : now) is.push_back(kv.first + " = " + kv.second);
    CompareSets("the machine against its snapshot", was, is);
  }

  // The next program start of the stand-ins' log ("-": none further).
  void ExpectStart(const std::string& expected) {
    std::istringstream in(logRead ? "" : ReadText(kLog));
    for (std::string line; std::getline(in, line);) log.push_back(line);
    logRead = true;
    if (expected != "-")
      Compare("program start", expected, log.empty() ? "(no further start)" : Escaped(log.front()));
    else if (!log.empty())
      Fail("unexpected program start \"" + Escaped(log.front()) + "\"");
    if (expected != "-" && !log.empty()) log.erase(log.begin());
  }

  // The relocated copy's own start: the handle of a first process to wait
  // for and the path to delete. The first process is a stand-in that runs
  // until it is ended; while it runs the copy must wait.
  bool RunRelocated(const std::string& copy, const std::string& target) {
    Run first;
    Window early;
    if (!Start(first, "\"" + Built("viewer_standin.exe") + "\" --stay", "", false))
      return Fail("cannot start the first process");
    HANDLE inheritable = OpenProcess(SYNCHRONIZE, TRUE, first.procs[0].pid);
    std::string command =
        "\"" + copy + "\" " + std::to_string(reinterpret_cast<INT_PTR>(inheritable)) + " \"" + target + "\"";
    bool started = CopyTo(Setup(), copy) && CopyTo(Setup(), target) && StartRun(command, "", true);
    if (started && NextWindow(*run, &early, 1500)) Fail("the copy showed a window while the first process ran");
    if (!Exists(target)) Fail("the copy deleted " + target + " while the first process ran");
    CloseHandle(inheritable);
    return started;
  }

  // Windows starting again: Wine's own restart, which carries out the
  // deletions scheduled for it (and the RunOnce entries).
  bool Restart() {
    Run boot;
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, sizeof system);
    if (!Start(boot, "\"" + std::string(system) + "\\wineboot.exe\" -r", "", false))
      return Fail("cannot restart:\n" + boot.transcript);
    bool ended = WaitForEnd(boot, WaitMs());
    End(boot);
    return ended || Fail("the restart did not end:\n" + boot.transcript);
  }

  void Execute();
};

using Act = bool (*)(RowRun& r, const Fields& f);
struct Verb {
  const char* name;  // as the rows write it, and as scenarios/README.md lists it
  bool duringRun;    // acts on the program started last instead of waiting for its end
  Act act;           // false: a "given" could not prepare its machine; a step ends the row
};

// Every line a row may hold but "use": the one place the runner learns what
// a line does. The scenario format's README lists the same names (a test
// below holds the two together).
const Verb kVerbs[] = {
    {"given package", false, [](RowRun& r, const Fields& f) { return r.GivenPackage(f.size() > 1 ? f[1] : r.Expand("$PKG")); }},
    {"given script-edit", false,
     [](RowRun& r, const Fields& f) {
       std::string script = r.Expand("$PKG\\LFSetup.inf"), text = ReadText(script);
       std::vector<std::string> change = Split(f[0], "=>");
       size_t at = change.size() == 2 ? text.find(Unescape(change[0])) : std::string::npos;
       return at != std::string::npos && WriteText(script, text.replace(at, Unescape(change[0]).size(), Unescape(change[1])));
     }},
    {"given single-file", false, [](RowRun& r, const Fields& f) { return PlaceSingleFile(f[0], F(f, 1), r.bits); }},
    {"given file", false, [](RowRun&, const Fields& f) { return WriteText(f[0], Unescape(F(f, 1))); }},
    {"given large", false, [](RowRun&, const Fields& f) { return WriteLarge(f[0], F(f, 1)); }},
    {"given listed", false,
     [](RowRun& r, const Fields& f) { return AddListedFiles(r.Expand("$PKG"), f[0], F(f, 1), F(f, 2)); }},
    {"given program", false, [](RowRun&, const Fields& f) { return CopyTo(Built(f[0]), F(f, 1)); }},
    {"given versioned", false, [](RowRun&, const Fields& f) { return CopyVersioned(Built("viewer_standin.exe"), f[0], F(f, 1)); }},
    {"given time", false, [](RowRun&, const Fields& f) { return SetWriteDay(f[0], F(f, 1)); }},
    {"given readonly", false, [](RowRun&, const Fields& f) { return MarkReadOnly(f[0]); }},
    {"given delete", false, [](RowRun&, const Fields& f) { return DeleteFileA(f[0].c_str()) || RemoveDirectoryA(f[0].c_str()); }},
    {"given reg", false, [](RowRun&, const Fields& f) { return WriteValue(f[0], F(f, 1), F(f, 2)); }},
    {"given winver", false,
     [](RowRun&, const Fields& f) { return WriteValue("HKCU\\Software\\Wine\\AppDefaults\\" + f[0], "Version", "sz:" + F(f, 1)); }},
    {"given ini", false,
     [](RowRun&, const Fields& f) {
       std::string entry = F(f, 2);
       size_t eq = entry.find('=');
       return eq != std::string::npos && WritePrivateProfileStringA(F(f, 1).c_str(), entry.substr(0, eq).c_str(),
                                                                    entry.substr(eq + 1).c_str(), f[0].c_str());
     }},
    {"given temp", false,
     [](RowRun&, const Fields& f) {
       return SetEnvironmentVariableA("TMP", f[0].c_str()) && SetEnvironmentVariableA("TEMP", f[0].c_str()) && MakeFolders(f[0]);
     }},
    {"given link", false,
     [](RowRun&, const Fields& f) {
       std::string link[4] = {F(f, 1)};
       return MakeFolders(Parent(f[0])) && ShellLink(f[0], true, link);
     }},
    {"given running", false, [](RowRun& r, const Fields& f) { return r.GivenRunning(f[0]); }},
    {"given stopped", false, [](RowRun& r, const Fields&) { return r.running.clear(), true; }},
    {"given snapshot", false, [](RowRun& r, const Fields&) { return r.snapshot = Snapshot(), true; }},
    {"given end-after", false, [](RowRun& r, const Fields& f) { return r.GivenEndAfter(f); }},
    {"given library", false,
     [](RowRun&, const Fields& f) {
       bool placed = true;
       for (const std::string& name : List(F(f, 1))) placed = placed && CopyTo(Built("planted_library.dll"), f[0] + "\\" + name);
       return placed;
     }},
    {"given native-first", false,
     [](RowRun&, const Fields& f) {
       // Wine takes its own libraries first; "native,builtin" gives Windows'
       // order: a library file found on the search path before the system's.
       // Every program started from now on reads it from the registry (a
       // changed WINEDLLOVERRIDES would not reach them: Wine reads it from
       // the environment it was started with).
       bool set = true;
       for (const std::string& name : List(f[0]))
         set = set && WriteValue("HKCU\\Software\\Wine\\DllOverrides", name.substr(0, name.rfind(".dll")), "sz:native,builtin");
       return set;
     }},
    {"run", false,
     [](RowRun& r, const Fields& f) {
       if (!CopyTo(r.Setup(), f[0])) return r.Fail("cannot place the program at " + f[0]);
       return r.StartRun("\"" + f[0] + "\"" + (F(f, 1).empty() ? "" : " " + f[1]), Parent(f[0]), false);
     }},
    {"start", false,
     [](RowRun& r, const Fields& f) { return r.StartRun("\"" + f[0] + "\"" + (F(f, 1).empty() ? "" : " " + f[1]), Parent(f[0]), false); }},
    {"run-uninstall-entry", false,
     [](RowRun& r, const Fields&) {
       // Windows runs the uninstall string as it stands.
       std::string command = ReadValue("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillara Browser",
                                       "UninstallString");
       return command.compare(0, 3, "sz:") == 0 ? r.StartRun(command.substr(3), "", false) : r.Fail("no uninstall entry");
     }},
    {"run-relocated", false, [](RowRun& r, const Fields& f) { return r.RunRelocated(f[0], F(f, 1)); }},
    {"restart", false, [](RowRun& r, const Fields&) { return r.Restart(); }},
    {"check", false, [](RowRun& r, const Fields& f) { return r.Check(f), true; }},
    {"ask", true, [](RowRun& r, const Fields& f) { return r.Ask(f); }},
    {"exit", true,
     [](RowRun& r, const Fields& f) {
       // "N or M": a run whose end may land before or after a step.
       r.otherExit = f[0].find(" or ") != std::string::npos ? std::stol(f[0].substr(f[0].find(" or ") + 4)) : -1;
       return r.expectedExit = std::stol(f[0]), true;
     }},
    {"poke-main-window", true, [](RowRun& r, const Fields&) { return r.PokeMainWindow(); }},
    {"expect files", false, [](RowRun& r, const Fields& f) { return r.ExpectFiles(f[0], F(f, 1)); }},
    {"expect exists", false, [](RowRun& r, const Fields& f) { return r.ExpectExists(f[0], true); }},
    {"expect missing", false, [](RowRun& r, const Fields& f) { return r.ExpectExists(f[0], false); }},
    {"expect text", false, [](RowRun& r, const Fields& f) { return r.Compare("text of " + f[0], F(f, 1), Escaped(ReadText(f[0]))), true; }},
    {"expect same", false,
     [](RowRun& r, const Fields& f) {
       return r.Compare(f[0] + " holds " + F(f, 1), Exists(f[0]) ? ReadText(F(f, 1)) : "(" + F(f, 1) + ")", ReadText(f[0])), true;
     }},
    {"expect version", false, [](RowRun& r, const Fields& f) { return r.Compare("version of " + f[0], F(f, 1), FileVersion(f[0])), true; }},
    {"expect time", false,
     [](RowRun& r, const Fields& f) {
       return (WriteTime(f[0]) && WriteTime(f[0]) / kDay == DayTime(F(f, 1)) / kDay) ||
              r.Fail(f[0] + " was not written on " + F(f, 1) + " (UTC)");
     }},
    {"expect rewritten", false,
     [](RowRun& r, const Fields& f) { return WriteTime(f[0]) >= r.runStart || r.Fail(f[0] + " was not written by the last run"); }},
    {"expect lines", false, [](RowRun& r, const Fields& f) { return r.ExpectLines(f[0], F(f, 1)), true; }},
    {"expect ini", false, [](RowRun& r, const Fields& f) { return r.ExpectIni(f[0], F(f, 1), F(f, 2)); }},
    {"expect progress", false, [](RowRun& r, const Fields& f) { return r.ExpectProgress(f); }},
    {"expect installed", false, [](RowRun& r, const Fields& f) { return r.ExpectInstalled(f[0], F(f, 1)); }},
    {"expect recorded", false, [](RowRun& r, const Fields& f) { return r.ExpectRecorded(f[0], F(f, 1), F(f, 2)); }},
    {"expect inisections", false,
     [](RowRun& r, const Fields& f) { return r.CompareSets("sections of " + f[0], List(F(f, 1)), ReadIni(f[0], nullptr)), true; }},
    {"expect reg", false,
     [](RowRun& r, const Fields& f) {
       return r.Compare(f[0] + " : " + (F(f, 1).empty() ? "(default)" : f[1]), F(f, 2) == "-" ? "" : F(f, 2),
                        ReadValue(f[0], F(f, 1))), true;
     }},
    {"expect key", false, [](RowRun& r, const Fields& f) { return r.ExpectKey(f[0], true); }},
    {"expect nokey", false, [](RowRun& r, const Fields& f) { return r.ExpectKey(f[0], false); }},
    {"expect link", false, [](RowRun& r, const Fields& f) { return r.ExpectLink(f[0], f); }},
    {"expect log", false, [](RowRun& r, const Fields& f) { return r.ExpectStart(f[0]), true; }},
    {"expect output", false, [](RowRun& r, const Fields& f) { return r.ExpectOutput(f[0]); }},
    {"expect processes", false,
     [](RowRun& r, const Fields& f) { return r.Compare("processes of the last run", f[0], std::to_string(r.processes)), true; }},
    {"expect duration", false,
     [](RowRun& r, const Fields& f) {
       return r.runTicks >= std::stoull(f[0]) || r.Fail("the last run took " + std::to_string(r.runTicks) + " ms, less than " + f[0]);
     }},
    {"expect browser", false, [](RowRun& r, const Fields& f) { return r.ExpectBrowser(f[0]); }},
    {"expect unchanged", false, [](RowRun& r, const Fields& f) { return r.ExpectUnchanged(List(f[0])), true; }},
    {"expect pending", false, [](RowRun& r, const Fields& f) { return r.ExpectPending(f[0]); }},
};

// The verb of a line: "given" and "expect" take their second word too.
std::string VerbOf(const std::string& text) {
  std::string verb = text.substr(0, text.find(' '));
  if (verb != "given" && verb != "expect") return verb;
  std::string rest = Trim(text.substr(verb.size()));
  return verb + " " + rest.substr(0, rest.find(' '));
}

const Verb* FindVerb(const std::string& name) {
  for (const Verb& v : kVerbs)
    if (name == v.name) return &v;
  return nullptr;
}

void RowRun::Execute() {
  char win[MAX_PATH] = "", programs[MAX_PATH] = "", desktop[MAX_PATH] = "";
  GetWindowsDirectoryA(win, sizeof win);
  SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
  SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
  vars = g_lets;
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  vars.insert({{"WIN", win}, {"PROGRAMS", programs}, {"DESKTOP", desktop}, {"LOG", kLog},
               {"TEMPDIR", Parent(std::string(temp) + "x")}, {"BIN", Parent(Built("x"))}});
  vars.insert({{"SYS", vars["WIN"] + (bits == 32 ? "\\syswow64" : "\\system32")},
               {"UNINF", vars["WIN"] + "\\inf\\LFUninst.inf"}, {"PROGRAM", Setup()}});
  g_view = bits == 32 ? KEY_WOW64_32KEY : 0;
  CoInitialize(nullptr);
  // A row file that does not load fails every row.
  for (const std::string& e : g_loadErrors) Fail("scenario: " + e);
  for (const Line& line : row.lines) {
    where = line.where;
    std::string name = VerbOf(line.text), fields = Trim(line.text.substr(name.size()));
    const Verb* verb = FindVerb(name);
    if (!verb) break;  // a load error, already reported
    Fields f = Split(Expand(fields.compare(0, 2, "| ") == 0 ? fields.substr(2) : fields), "|");
    if (!verb->duringRun && !FinishRun()) break;
    if (verb->act(*this, f)) continue;
    if (name.compare(0, 6, "given ") == 0) Fail("could not prepare: " + line.text);
    if (name.compare(0, 6, "given ") != 0 && name.compare(0, 7, "expect ") != 0) break;
  }
  where = row.file + ":" + std::to_string(row.line);
  FinishRun();
  running.clear();
  if (!log.empty()) Fail("unexpected program starts:\n    " + Join(log, "\n    "));
  if (!failures.empty())
    ADD_FAILURE_AT(row.file.c_str(), row.line) << row.title << "\n"
                                               << Join(failures, "\n") << "\n--- transcript ---\n"
                                               << transcript << "------------------";
}

// The scenario format's README lists every verb of the table, and no other:
// a row of its table names one verb, in the first backquoted form.
TEST(ScenarioFormat, ReadmeListsEveryVerb) {
  std::istringstream readme(ReadText(Built("scenarios\\README.md")));
  std::multiset<std::string> listed;
  std::set<std::string> known;
  for (std::string line; std::getline(readme, line);)
    if (line.compare(0, 3, "| `") == 0) listed.insert(VerbOf(line.substr(3, line.find('`', 3) - 3)));
  for (const Verb& v : kVerbs) known.insert(v.name);
  EXPECT_EQ(std::multiset<std::string>(known.begin(), known.end()), listed);
}

struct RowTest : ::testing::Test {
  RowTest(size_t row, int bits) : row(row), bits(bits) {}
  void TestBody() override { RowRun{g_rows[row], bits}.Execute(); }
  size_t row;
  int bits;
};

// "<NN>_<the title's letters and digits>_x64" (or _x86), NN the row's number in its file.
std::string TestName(size_t i, int bits) {
  unsigned inFile = 0;
  for (size_t j = 0; j <= i; ++j) inFile = j > 0 && g_rows[j - 1].file == g_rows[i].file ? inFile + 1 : 1;
  std::string name = (inFile < 10 ? "0" : "") + std::to_string(inFile) + "_";
  for (char c : g_rows[i].title)
    if (name.size() < 51 && (isalnum(static_cast<unsigned char>(c)) || name.back() != '_'))
      name += isalnum(static_cast<unsigned char>(c)) ? c : '_';
  while (name.back() == '_') name.pop_back();
  return name + (bits == 32 ? "_x86" : "_x64");
}

// The large download carries the 64-bit program: its rows run with it only.
bool UsesLargeDownload(const Row& row) {
  for (const Line& line : row.lines)
    if (VerbOf(line.text) == "given single-file" && line.text.find("| large") != std::string::npos) return true;
  return false;
}

const bool g_registered = [] {
  LoadScenarios();
  for (const Row& row : g_rows)
    for (const Line& line : row.lines) {
      if (!FindVerb(VerbOf(line.text))) g_loadErrors.push_back(line.where + ": unknown line: " + line.text);
      for (size_t at = line.text.find('$'); at != std::string::npos; at = line.text.find('$', at + 1))
        if (islower(static_cast<unsigned char>(line.text[at + 1])))
          g_loadErrors.push_back(line.where + ": a parameter outside its block: " + line.text);
    }
  // The 32-bit program runs only where WoW64 can start it (LF_WOW64=1).
  const char* wow64 = getenv("LF_WOW64");
  bool both = wow64 && strcmp(wow64, "1") == 0 && Exists(Built("LFSetup32.exe"));
  for (size_t i = 0; i < g_rows.size(); ++i)
    for (int bits : {64, 32})
      if (bits == 64 || (both && !UsesLargeDownload(g_rows[i])))
        ::testing::RegisterTest(g_rows[i].file.substr(0, g_rows[i].file.find('.')).c_str(), TestName(i, bits).c_str(),
                                nullptr, nullptr, g_rows[i].file.c_str(), g_rows[i].line,
                                [i, bits]() -> ::testing::Test* { return new RowTest(i, bits); });
  return true;
}();

}  // namespace
