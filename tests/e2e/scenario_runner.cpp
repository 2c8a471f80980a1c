// Runs the end-to-end scenario rows of scenarios/*.scn (their format is in
// scenarios/README.md): each row is one GoogleTest on a clean machine of its
// own, once with the 64-bit program and, where WoW64 can run it, once with
// the shipped 32-bit one. A failing row prints every mismatch and the
// transcript of the windows it saw.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

#include "app/window_logic.h"
#include "machine.h"
#include "window_driver.h"

namespace {

struct SourceLine {
  std::string where;  // file:line
  std::string text;
};
struct Row {
  std::string title, file;
  int line = 0;
  std::vector<SourceLine> lines;
};

std::map<std::string, std::string> g_lets;
std::map<std::string, std::vector<SourceLine>> g_defines;
std::vector<Row> g_rows;
std::vector<std::string> g_loadErrors;

const char kStandinLog[] = "C:\\standins.log";
const DWORD kWindowWaitMs = 30000;
// Where no 32-bit process can start natively, WoW64 programs start through an
// emulator in about a minute each: the 32-bit rows wait longer.
const DWORD kWindowWaitMs32 = 240000;

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r"), e = s.find_last_not_of(" \t\r");
  return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

std::vector<std::string> Split(const std::string& s, const std::string& sep) {
  std::vector<std::string> out;
  for (size_t from = 0;;) {
    size_t at = s.find(sep, from);
    out.push_back(Trim(s.substr(from, at == std::string::npos ? std::string::npos : at - from)));
    if (at == std::string::npos) return out;
    from = at + sep.size();
  }
}

// Message texts write a line feed as \n and a tab as \t; a text taken from
// the lines below a "<<" is used as it stands.
std::string Unescape(const std::string& s) {
  if (s.find('\n') != std::string::npos) return s;
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'n' || s[i + 1] == 't')) {
      out += s[++i] == 'n' ? '\n' : '\t';
    } else {
      out += s[i];
    }
  }
  return out;
}

// A text as rows write it: a line feed as \n, a tab as \t, a carriage return
// as \r. Texts from the program are compared in this form, so that a path such
// as "\table.dat" in a row stays a path.
std::string Escaped(const std::string& s) {
  std::string out;
  for (char c : s)
    out += c == '\n' ? std::string("\\n") : c == '\t' ? std::string("\\t") : c == '\r' ? std::string("\\r") : std::string(1, c);
  return out;
}

std::string Visible(const std::string& s) { return "\"" + Escaped(s) + "\""; }

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), ::tolower);
  return s;
}

std::string Join(const std::vector<std::string>& items, const char* sep) {
  std::string out;
  for (const auto& i : items) out += (out.empty() ? "" : sep) + i;
  return out;
}

// ---- Loading ----

void ExpandUse(const SourceLine& use, std::vector<SourceLine>* out, int depth) {
  std::vector<std::string> words = Split(use.text.substr(4), "|");
  std::string name = words[0].substr(0, words[0].find(' '));
  if (words[0].find(' ') != std::string::npos) words[0] = Trim(words[0].substr(name.size()));
  else words.erase(words.begin());
  auto it = g_defines.find(name);
  if (it == g_defines.end() || depth > 8) {
    g_loadErrors.push_back(use.where + ": no block named '" + name + "'");
    return;
  }
  for (SourceLine line : it->second) {
    // $1..$9: the block's arguments; one not given is empty.
    for (size_t i = 0; i < 9; ++i) {
      std::string param = "$" + std::to_string(i + 1), value = i < words.size() ? words[i] : "";
      for (size_t at; (at = line.text.find(param)) != std::string::npos;) line.text.replace(at, param.size(), value);
    }
    line.where = use.where + " (" + line.where + ")";
    if (line.text.compare(0, 4, "use ") == 0) ExpandUse(line, out, depth + 1);
    else out->push_back(line);
  }
}

void LoadFile(const std::string& path, const std::string& name) {
  std::istringstream in(ReadTextFile(path));
  std::vector<SourceLine>* block = nullptr;  // the row or definition being read
  std::vector<std::pair<size_t, SourceLine>> uses;
  int number = 0;
  for (std::string raw; std::getline(in, raw);) {
    ++number;
    std::string text = Trim(raw);
    SourceLine line{name + ":" + std::to_string(number), text};
    if (text.empty() || text[0] == '#') continue;
    // "<<" at the end of a line takes the following lines, up to ".", as its last field.
    if (text.size() > 2 && text.compare(text.size() - 2, 2, "<<") == 0) {
      std::string body;
      for (std::string more; std::getline(in, more) && (++number, Trim(more) != ".");) body += more + "\n";
      line.text = Trim(text.substr(0, text.size() - 2)) + " | " + body;
    }
    if (text.compare(0, 4, "=== ") == 0) {
      g_rows.push_back(Row{text.substr(4), name, number, {}});
      block = &g_rows.back().lines;
    } else if (text.compare(0, 4, "let ") == 0) {
      size_t eq = text.find(" = ");
      g_lets[Trim(text.substr(4, eq - 4))] = eq == std::string::npos ? "" : text.substr(eq + 3);
    } else if (text.compare(0, 7, "define ") == 0) {
      block = &g_defines[Trim(text.substr(7))];
    } else if (text == "enddef") {
      block = nullptr;
    } else if (block) {
      block->push_back(line);
    } else {
      g_loadErrors.push_back(line.where + ": outside a row: " + text);
    }
  }
}

void LoadScenarios() {
  std::string folder = BuiltProgram("scenarios");
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*.scn").c_str(), &fd);
  std::vector<std::string> names;
  if (h != INVALID_HANDLE_VALUE) {
    do names.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  std::sort(names.begin(), names.end());
  for (const auto& n : names) LoadFile(folder + "\\" + n, n);
  // Blocks are expanded once every file is read, so a row may use a block
  // that a later file defines.
  for (Row& row : g_rows) {
    std::vector<SourceLine> expanded;
    for (const SourceLine& l : row.lines) {
      if (l.text.compare(0, 4, "use ") == 0) ExpandUse(l, &expanded, 0);
      else expanded.push_back(l);
    }
    row.lines = expanded;
  }
}

// ---- Running one row ----

class RowRun {
 public:
  RowRun(const Row& row, int bits) : row_(row), bits_(bits) {}
  void Execute();

 private:
  std::string Expand(const std::string& s);
  bool Given(const std::string& kind, const std::vector<std::string>& f);
  bool Start(const std::string& commandLine, const std::string& workDir);
  bool Ask(const std::vector<std::string>& f);
  bool FinishRun();
  void Expect(const std::string& kind, const std::vector<std::string>& f);
  void Fail(const std::string& what) { failures_.push_back(where_ + ": " + what); }
  void Compare(const std::string& what, const std::string& expected, const std::string& actual) {
    if (expected != actual) Fail(what + "\n    expected " + Visible(expected) + "\n    actual   " + Visible(actual));
  }
  void CompareSets(const std::string& what, std::vector<std::string> expected, std::vector<std::string> actual);
  bool PokeMainWindow();
  void RunChecker(const std::vector<std::string>& f);
  std::string SetupProgram() const { return BuiltProgram(bits_ == 32 ? "LFSetup32.exe" : "LFSetup.exe"); }

  const Row& row_;
  int bits_;
  std::string where_;
  std::vector<std::string> failures_;
  std::string transcript_;
  std::unique_ptr<DriverRun> run_;
  bool finished_ = true;
  long expectedExit_ = -1;  // -1: every process exits with 0
  ULONGLONG runStartTime_ = 0, runTicks_ = 0;
  size_t lastProcesses_ = 0;
  std::vector<std::string> env_{std::string("LF_STANDIN_LOG=") + kStandinLog};
  std::vector<std::unique_ptr<RunningProgram>> running_;
  std::vector<std::string> logLines_;
  bool logChecked_ = false;
  std::map<std::string, std::string> snapshot_;
  std::vector<std::string> checkOutput_;  // lines of the last package check
  size_t checkCursor_ = 0;
};

// Adds lines to a file list of a setup script until the list's text, as the
// section read returns it (each line and its terminator), is `bytes` long.
// The last line is always "zlast.txt,readme.txt"; the others name files
// "f0001.txt"... copied from readme.txt, the final one padded to the length.
bool FillScriptSection(const std::string& script, const std::string& section, size_t bytes) {
  std::istringstream in(ReadTextFile(script));
  std::string out, header = "[" + section + "]", filler;
  size_t used = 0;
  bool inSection = false, found = false;
  for (std::string line; std::getline(in, line);) {
    std::string t = Trim(line);
    if (!t.empty() && t[0] == '[') {
      if (inSection) out += "@FILL@";
      inSection = t == header, found = found || inSection;
    } else if (inSection && !t.empty() && t[0] != ';') {
      used += t.size() + 1;
    }
    out += line + "\n";
  }
  if (inSection) out += "@FILL@";
  const std::string last = "zlast.txt,readme.txt";
  if (!found || bytes < used + 2 * (last.size() + 1)) return false;
  size_t need = bytes - used - (last.size() + 1);
  for (int n = 1; need > 60; ++n, need -= 21) {
    char line[32];
    snprintf(line, sizeof(line), "f%04d.txt,readme.txt\n", n);
    filler += line;
  }
  filler += "f9999" + std::string(need - 21, 'x') + ".txt,readme.txt\n" + last + "\n";
  return WriteTextFile(script, out.replace(out.find("@FILL@"), 6, filler));
}

std::map<std::string, std::string> MachineSnapshot() {
  // Wine writes its display settings the first time a program touches the
  // desktop; that happens here, before the snapshot, not in the program's run.
  HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (probe) DestroyWindow(probe);
  std::map<std::string, std::string> all;
  for (auto& kv : SnapshotRegistry(HKEY_LOCAL_MACHINE, "")) all["HKLM" + kv.first] = kv.second;
  for (auto& kv : SnapshotRegistry(HKEY_CURRENT_USER, "")) all["HKCU" + kv.first] = kv.second;
  for (auto& f : SnapshotFiles("C:\\")) all["C:\\" + f] = "file";
  return all;
}

std::string RowRun::Expand(const std::string& s) {
  std::string out = s;
  for (int round = 0; round < 8 && out.find('$') != std::string::npos; ++round) {
    std::string next;
    for (size_t i = 0; i < out.size(); ++i) {
      size_t j = i + 1;
      while (j < out.size() && (isupper(static_cast<unsigned char>(out[j])) || isdigit(static_cast<unsigned char>(out[j])) || out[j] == '_')) ++j;
      std::string name = out[i] == '$' ? out.substr(i + 1, j - i - 1) : "";
      std::string value;
      if (name == "SHORT" && j < out.size() && out[j] == '{') {
        // $SHORT{path}: the path's short form, as GetShortPathNameA gives it.
        size_t close = out.find('}', j);
        std::string path = Expand(out.substr(j + 1, close - j - 1));
        char shortPath[MAX_PATH];
        DWORD n = GetShortPathNameA(path.c_str(), shortPath, sizeof(shortPath));
        value = n && n < sizeof(shortPath) ? shortPath : path;
        j = close == std::string::npos ? out.size() : close + 1;
      } else if (name == "N" && j < out.size() && out[j] == '{') {
        // $N{count}: that many letters "n", for names and lists of a given length.
        size_t close = out.find('}', j);
        value = std::string(std::strtoul(out.c_str() + j + 1, nullptr, 10), 'n');
        j = close == std::string::npos ? out.size() : close + 1;
      } else if (name == "WIN") value = WindowsDir();
      else if (name == "SYS") value = WindowsDir() + (bits_ == 32 ? "\\syswow64" : "\\system32");
      else if (name == "PROGRAMS") value = SpecialFolder(CSIDL_PROGRAMS);
      else if (name == "DESKTOP") value = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
      else if (name == "UNINF") value = WindowsDir() + "\\inf\\LFUninst.inf";
      else if (name == "LOG") value = kStandinLog;
      else if (g_lets.count(name)) value = g_lets[name];
      else if (!name.empty()) Fail("unknown variable $" + name);
      if (name.empty()) next += out[i];
      else next += value, i = j - 1;
    }
    out = next;
  }
  return out;
}

bool RowRun::Start(const std::string& commandLine, const std::string& workDir) {
  run_.reset(new DriverRun);
  finished_ = false;
  expectedExit_ = -1;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  runStartTime_ = (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  runTicks_ = GetTickCount64();
  if (StartProgram(*run_, commandLine, workDir, env_)) return true;
  Fail("cannot start " + commandLine);
  return false;
}

bool RowRun::Ask(const std::vector<std::string>& f) {
  if (finished_) {
    Fail("an answer without a running program");
    return false;
  }
  SeenWindow w;
  std::string caption = f[0], text = f.size() > 1 ? f[1] : "";
  if (!WaitForWindow(*run_, &w, bits_ == 32 ? kWindowWaitMs32 : kWindowWaitMs)) {
    Fail("expected window \"" + caption + "\" with \"" + text + "\", none came");
    return false;
  }
  if (Escaped(w.caption) != caption || Escaped(w.text) != text) {
    Fail("window differs\n    expected \"" + caption + "\" \"" + text + "\"\n    actual   " + Visible(w.caption) + " " +
         Visible(w.text));
    return false;
  }
  // Options after the button: "from-copy" (the window belongs to the
  // relocated copy, after the first process ended), "type TEXT" into its edit
  // box, "select PATH" in its tree, "buttons A, B" (exactly these enabled).
  std::string buttons, enabled;
  size_t failed = failures_.size();
  for (size_t i = 3; i < f.size(); ++i) {
    std::string option = f[i].substr(0, f[i].find(' ')), value = Trim(f[i].substr(option.size()));
    DWORD firstExit = STILL_ACTIVE;
    if (option == "from-copy" &&
        (w.pid == run_->pid || !GetExitCodeProcess(run_->process, &firstExit) || firstExit == STILL_ACTIVE))
      Fail("the window should come from the relocated copy after the first process ended");
    if ((option == "type" && !value.empty() && !TypeText(*run_, w, value)) ||
        (option == "select" && !SelectTreeItem(*run_, w, value)))
      Fail("cannot " + f[i] + " in " + Visible(caption));
    if (option == "buttons") buttons = value;
  }
  // A wizard sets its buttons just after it shows a page.
  for (int tries = 0; tries < 100; ++tries, Sleep(20), DescribeWindow(w.hwnd, &w)) {
    enabled.clear();
    for (size_t i = 0; i < w.buttons.size(); ++i)
      if (w.buttonEnabled[i]) enabled += (enabled.empty() ? "" : ", ") + w.buttons[i];
    if (buttons.empty() || buttons == enabled) break;
  }
  if (!buttons.empty()) Compare("enabled buttons of " + Visible(caption), buttons, enabled);
  // "stopped": the programs the row keeps running end before the press, as a
  // user closes them while the message waits.
  if (std::find(f.begin() + std::min<size_t>(3, f.size()), f.end(), "stopped") != f.end()) running_.clear();
  if (failures_.size() > failed || f.size() < 3 || !PressButton(*run_, w, f[2])) {
    Fail("cannot press [" + (f.size() > 2 ? f[2] : "") + "] in " + Visible(caption));
    return false;
  }
  return true;
}

bool RowRun::FinishRun() {
  if (finished_) return true;
  finished_ = true;
  bool ended = WaitForEnd(*run_, bits_ == 32 ? kWindowWaitMs32 : kWindowWaitMs);
  runTicks_ = GetTickCount64() - runTicks_;
  lastProcesses_ = 0;
  for (const TrackedProcess& p : run_->tracked) {
    // Wine's menu builder, which each shortcut save tries to start, is
    // switched off here: it ends at once, unnamed, with "DLL not found".
    // A process gone before the driver could open it has no name and no code.
    if (Lower(p.exeName) == "winemenubuilder.exe" || !p.handle || (p.exeName.empty() && p.exitCode == 0xC0000135))
      continue;
    ++lastProcesses_;
    if (expectedExit_ < 0 && ended && p.exitCode != 0)
      Fail(p.exeName + " (pid " + std::to_string(p.pid) + ") exit code " + std::to_string(p.exitCode));
  }
  if (expectedExit_ >= 0) Compare("exit code", std::to_string(expectedExit_), std::to_string(run_->exitCode));
  transcript_ += run_->transcript;
  if (!ended) Fail("expected the program to end without another window");
  EndRun(*run_);
  return ended;
}

// The hidden main window keeps its computed place and stays hidden even when
// another program tries to show or move it.
bool RowRun::PokeMainWindow() {
  HWND main = nullptr;
  for (int i = 0; i < 3000 && !main; ++i, Sleep(10)) main = FindWindowA("InstallWClass", "Install");
  if (!main) {
    Fail("no main window");
    return false;
  }
  RECT work, before, after;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(main, &before);
  Compare("main window left", std::to_string(WindowOrigin(work.right - work.left, 440)), std::to_string(before.left));
  Compare("main window top", std::to_string(WindowOrigin(work.bottom - work.top, 270)), std::to_string(before.top));
  ShowWindowAsync(main, SW_SHOWNORMAL);
  SetWindowPos(main, HWND_TOP, 5, 5, 100, 100, SWP_ASYNCWINDOWPOS | SWP_SHOWWINDOW);
  DWORD_PTR ignored;
  // A message sent after the requests returns once they have been handled.
  SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
  GetWindowRect(main, &after);
  if (IsWindowVisible(main)) Fail("the main window became visible");
  Compare("main window after a move", std::to_string(before.left) + "," + std::to_string(before.top) + " " +
                                           std::to_string(before.right - before.left),
          std::to_string(after.left) + "," + std::to_string(after.top) + " " + std::to_string(after.right - after.left));
  return true;
}

// The package checker on a folder (its output into a file, as a console
// program's would be redirected); its lines are matched by "expect output".
void RowRun::RunChecker(const std::vector<std::string>& f) {
  char temp[MAX_PATH], outPath[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  GetTempFileNameA(temp, "lfp", 0, outPath);
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE out = CreateFileA(outPath, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = out;
  std::string command = "\"" + BuiltProgram("lfpack.exe") + "\" check " + (f.size() > 1 && !f[1].empty() ? f[1] + " " : "") +
                        "\"" + f[0] + "\"";
  PROCESS_INFORMATION pi{};
  DWORD code = 999;
  if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    if (WaitForSingleObject(pi.hProcess, kWindowWaitMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(out);
  std::istringstream text(ReadTextFile(outPath));
  DeleteFileA(outPath);
  checkOutput_.clear();
  checkCursor_ = 0;
  for (std::string line; std::getline(text, line);) checkOutput_.push_back(Trim(line));
  Compare("exit code of " + command + "\n    " + Join(checkOutput_, "\n    "), f.size() > 2 ? f[2] : "0",
          std::to_string(code));
}

bool RowRun::Given(const std::string& kind, const std::vector<std::string>& f) {
  auto arg = [&](size_t i) { return i < f.size() ? f[i] : std::string(); };
  HKEY root;
  std::string key;
  if (kind == "package") {
    std::string dir = f.size() > 1 ? arg(1) : Expand("$PKG");
    std::string sample = BuiltProgram("sample-package") + "\\";
    bool ok = CopyProgram(SetupProgram(), dir + "\\LFSetup.exe");
    for (const char* file : {"license.txt", "readme.txt", "quickstart.txt", "welcome.vorn", "LFSetup.inf"})
      ok = ok && CopyFileA((sample + file).c_str(), (dir + "\\" + file).c_str(), FALSE);
    for (const char* program : {"LFViewer.exe", "LFCtrl.exe"})
      ok = ok && CopyFileA(BuiltProgram("viewer_standin.exe").c_str(), (dir + "\\" + program).c_str(), FALSE);
    return ok;
  }
  if (kind == "script-edit") {
    std::string script = Expand("$PKG\\LFSetup.inf"), text = ReadTextFile(script);
    std::vector<std::string> change = Split(arg(0), "=>");
    size_t at = text.find(Unescape(change[0]));
    if (change.size() != 2 || at == std::string::npos) return false;
    return WriteTextFile(script, text.replace(at, Unescape(change[0]).size(), Unescape(change[1])));
  }
  if (kind == "script-fill") return FillScriptSection(Expand("$PKG\\LFSetup.inf"), arg(0), std::stoul(arg(1)));
  if (kind == "file") return WriteTextFile(arg(0), Unescape(arg(1)));
  if (kind == "program") return CopyProgram(BuiltProgram(arg(0).c_str()), arg(1));
  if (kind == "versioned") return MakeVersionedFile(BuiltProgram("viewer_standin.exe"), arg(0), arg(1));
  if (kind == "time") return SetWriteDay(arg(0), arg(1));
  if (kind == "delete") return DeleteFileA(arg(0).c_str()) || RemoveDirectoryA(arg(0).c_str());
  if (kind == "readonly") return SetFileAttributesA(arg(0).c_str(), FILE_ATTRIBUTE_READONLY);
  if (kind == "reg") return SplitRegPath(arg(0), &root, &key) && WriteRegValue(root, key, arg(1), arg(2));
  if (kind == "link") return MakeFolders(arg(0).substr(0, arg(0).find_last_of('\\'))) && WriteLink(arg(0), arg(1));
  if (kind == "ini") {
    size_t eq = arg(2).find('=');
    return eq != std::string::npos &&
           WritePrivateProfileStringA(arg(1).c_str(), arg(2).substr(0, eq).c_str(), arg(2).substr(eq + 1).c_str(),
                                      arg(0).c_str());
  }
  if (kind == "winver")
    return WriteRegValue(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + arg(0), "Version", "sz:" + arg(1));
  if (kind == "temp") {
    env_.push_back("TMP=" + arg(0));
    env_.push_back("TEMP=" + arg(0));
    return MakeFolders(arg(0));
  }
  if (kind == "snapshot") {
    snapshot_ = MachineSnapshot();
    return true;
  }
  if (kind == "running") {
    running_.emplace_back(new RunningProgram);
    std::string what = arg(0);
    if (what == "browser" || what == "browser-ignoring-close")
      return StartRunningProgram(*running_.back(),
                                 "\"" + BuiltProgram("browser_standin.exe") + "\"" +
                                     (what == "browser" ? "" : " --ignore-close"),
                                 "LumenFieldClass");
    return StartRunningProgram(*running_.back(), what, nullptr);
  }
  if (kind == "stopped") {  // ends the programs the row started
    running_.clear();
    return true;
  }
  return false;
}

void RowRun::CompareSets(const std::string& what, std::vector<std::string> expected, std::vector<std::string> actual) {
  std::sort(expected.begin(), expected.end());
  std::sort(actual.begin(), actual.end());
  std::vector<std::string> missing, extra;
  std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing));
  std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(), std::back_inserter(extra));
  if (missing.empty() && extra.empty()) return;
  std::string diff;
  for (const auto& m : missing) diff += "\n    - " + m;
  for (const auto& e : extra) diff += "\n    + " + e;
  Fail(what + " (- expected, + actual):" + diff);
}

void RowRun::Expect(const std::string& kind, const std::vector<std::string>& f) {
  auto arg = [&](size_t i) { return i < f.size() ? f[i] : std::string(); };
  auto list = [](const std::string& s) {
    return s == "-" || s.empty() ? std::vector<std::string>() : Split(s, ", ");
  };
  HKEY root;
  std::string key;
  if (kind == "files") {
    CompareSets("files below " + arg(0), list(arg(1)), SnapshotFiles(arg(0)));
  } else if (kind == "exists" || kind == "missing") {
    // A file deleted on close goes just after the process that held it ends.
    for (int i = 0; i < 200 && kind == "missing" && FileExists(arg(0)); ++i) Sleep(10);
    if (FileExists(arg(0)) != (kind == "exists")) Fail(arg(0) + (kind == "exists" ? " is missing" : " exists"));
  } else if (kind == "text") {
    Compare("text of " + arg(0), arg(1), Escaped(ReadTextFile(arg(0))));
  } else if (kind == "lines") {  // the lines, in this order, among the file's lines
    std::string text = ReadTextFile(arg(0));
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    std::vector<std::string> actual = Split(text, "\n");
    size_t at = 0;
    for (const std::string& want : Split(arg(1), "\n")) {
      if (Trim(want).empty()) continue;
      while (at < actual.size() && actual[at] != Trim(want)) ++at;
      if (at == actual.size()) {
        Fail(arg(0) + " lacks, after the lines before it: " + Trim(want) + "\n    " + Join(actual, "\n    "));
        break;
      }
      ++at;
    }
  } else if (kind == "same") {
    if (!FileExists(arg(0))) Fail(arg(0) + " is missing");
    Compare(arg(0) + " holds " + arg(1), ReadTextFile(arg(1)), ReadTextFile(arg(0)));
  } else if (kind == "version") {
    Compare("version of " + arg(0), arg(1), FileVersion(arg(0)));
  } else if (kind == "time") {
    FILETIME ft;
    SYSTEMTIME st{};
    ULONGLONG t = WriteTime(arg(0));
    ft.dwLowDateTime = DWORD(t), ft.dwHighDateTime = DWORD(t >> 32);
    char day[16] = "";
    if (t && FileTimeToSystemTime(&ft, &st)) snprintf(day, sizeof day, "%04u-%02u-%02u", st.wYear, st.wMonth, st.wDay);
    Compare(arg(0) + " write day (UTC)", arg(1), day);
  } else if (kind == "rewritten") {
    if (WriteTime(arg(0)) < runStartTime_) Fail(arg(0) + " was not written by the last run");
  } else if (kind == "ini") {
    std::vector<std::string> expected = list(arg(2));
    for (auto& e : expected) e = Lower(e.substr(0, e.find('='))) + (e.find('=') == std::string::npos ? "" : e.substr(e.find('=')));
    CompareSets("[" + arg(1) + "] of " + arg(0), expected, ReadIniSection(arg(0), arg(1)));
  } else if (kind == "inisections") {
    CompareSets("sections of " + arg(0), list(arg(1)), ReadIniSectionNames(arg(0)));
  } else if (kind == "reg") {
    if (!SplitRegPath(arg(0), &root, &key)) return Fail("bad key " + arg(0));
    Compare(arg(0) + " : " + (arg(1).empty() ? "(default)" : arg(1)), arg(2) == "-" ? "" : arg(2),
            ReadRegValue(root, key, arg(1)));
  } else if (kind == "key" || kind == "nokey") {
    if (!SplitRegPath(arg(0), &root, &key)) return Fail("bad key " + arg(0));
    if (RegKeyExists(root, key) != (kind == "key")) Fail(arg(0) + (kind == "key" ? " is missing" : " exists"));
  } else if (kind == "link") {
    LinkInfo l = ReadLink(arg(0));
    if (!l.loaded) return Fail("no link " + arg(0));
    Compare("link " + arg(0), Lower(arg(1)) + " | " + arg(2) + " | " + arg(3) + " | ",
            Lower(l.target) + " | " + l.arguments + " | " + l.description + " | " + l.workingDir);
  } else if (kind == "log") {
    if (!logChecked_) logLines_ = ReadLogLines(kStandinLog);
    logChecked_ = true;
    const std::string kNone = "(no further start)";
    std::string actual = logLines_.empty() ? kNone : logLines_.front();
    if (arg(0) != "-") {
      Compare("program start", arg(0), Escaped(actual));
      if (!logLines_.empty()) logLines_.erase(logLines_.begin());
    } else if (!logLines_.empty()) {
      Fail("unexpected program start " + Visible(actual));
    }
  } else if (kind == "output") {
    // The next line of the last check's output that begins with the text.
    const std::string& text = arg(0);
    while (checkCursor_ < checkOutput_.size() && checkOutput_[checkCursor_].compare(0, text.size(), text) != 0)
      ++checkCursor_;
    if (checkCursor_ < checkOutput_.size()) ++checkCursor_;
    else Fail("no further line of the check begins with " + Visible(text) + "; it printed:\n    " + Join(checkOutput_, "\n    "));
  } else if (kind == "processes") {
    Compare("processes of the last run", arg(0), std::to_string(lastProcesses_));
  } else if (kind == "duration") {
    if (runTicks_ < std::stoull(arg(0))) Fail("the last run took " + std::to_string(runTicks_) + " ms, less than " + arg(0));
  } else if (kind == "browser") {
    bool alive = !running_.empty() && WaitForSingleObject(running_.front()->pi.hProcess, arg(0) == "ended" ? 5000 : 0) != WAIT_OBJECT_0;
    if (alive != (arg(0) == "running")) Fail("the browser should have " + arg(0));
  } else if (kind == "unchanged") {
    std::map<std::string, std::string> now = MachineSnapshot();
    std::vector<std::string> leftovers = list(arg(0)), before, after;
    auto leftover = [&](const std::string& k) { return std::find(leftovers.begin(), leftovers.end(), k) != leftovers.end(); };
    for (auto& kv : snapshot_) if (!leftover(kv.first)) before.push_back(kv.first + " = " + kv.second);
    for (auto& kv : now) if (!leftover(kv.first)) after.push_back(kv.first + " = " + kv.second);
    CompareSets("the machine against its snapshot", before, after);
    for (const auto& l : leftovers)
      if (!now.count(l)) Fail("expected leftover missing: " + l);
  } else {
    Fail("unknown expectation '" + kind + "'");
  }
}

void RowRun::Execute() {
  g_regView = bits_ == 32 ? KEY_WOW64_32KEY : 0;
  DeleteFileA(kStandinLog);
  for (const SourceLine& line : row_.lines) {
    where_ = line.where;
    std::string text = line.text;
    if (text.compare(0, 4, "[32]") == 0 || text.compare(0, 4, "[64]") == 0) {
      if (std::to_string(bits_) != text.substr(1, 2)) continue;
      text = Trim(text.substr(4));
    }
    std::string verb = text.substr(0, text.find(' '));
    std::string rest = verb.size() < text.size() ? Trim(text.substr(verb.size())) : "";
    if (verb != "ask" && verb != "exit" && verb != "poke-main-window" && !FinishRun()) break;
    std::string kind = rest.substr(0, rest.find(' '));
    std::string fields = verb == "given" || verb == "expect" ? Trim(rest.substr(kind.size())) : rest;
    if (fields.compare(0, 2, "| ") == 0) fields = fields.substr(2);
    std::vector<std::string> f = Split(Expand(fields), "|");
    if (verb == "given") {
      if (!Given(kind, f)) Fail("could not prepare: " + text);
    } else if (verb == "expect") {
      Expect(kind, f);
    } else if (verb == "run" || verb == "start") {
      std::string exe = f[0], folder = exe.substr(0, exe.find_last_of('\\'));
      if (verb == "run" && !CopyProgram(SetupProgram(), exe)) Fail("cannot place the program at " + exe);
      if (!Start("\"" + exe + "\"" + (f.size() > 1 && !f[1].empty() ? " " + f[1] : ""), folder)) break;
    } else if (verb == "run-uninstall-entry") {
      // Windows runs the uninstall string as it stands.
      std::string command = ReadRegValue(HKEY_LOCAL_MACHINE,
                                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillara Browser",
                                         "UninstallString");
      if (command.compare(0, 3, "sz:") != 0) {
        Fail("no uninstall entry");
        break;
      }
      if (!Start(command.substr(3), "")) break;
    } else if (verb == "run-relocated") {
      // The relocated copy's own start: a process handle to wait for and
      // the path to delete. The "first process" is a stand-in that runs
      // until it is ended; while it runs the copy must wait.
      RunningProgram first;
      if (!StartRunningProgram(first, "\"" + BuiltProgram("viewer_standin.exe") + "\" --stay", nullptr)) break;
      HANDLE inheritable = OpenProcess(SYNCHRONIZE, TRUE, first.pi.dwProcessId);
      CopyProgram(SetupProgram(), f[0]);
      CopyProgram(SetupProgram(), f[1]);
      run_.reset(new DriverRun);
      run_->inheritHandles = true;
      finished_ = false;
      runTicks_ = GetTickCount64();
      StartProgram(*run_, "\"" + f[0] + "\" " + std::to_string(reinterpret_cast<INT_PTR>(inheritable)) + " \"" + f[1] + "\"",
                   "", env_);
      SeenWindow early;
      if (WaitForWindow(*run_, &early, 1500)) Fail("the copy showed a window while the first process ran");
      if (!FileExists(f[1])) Fail("the copy deleted " + f[1] + " while the first process ran");
      TerminateProcess(first.pi.hProcess, 0);
      CloseHandle(inheritable);
    } else if (verb == "check") {
      RunChecker(f);
    } else if (verb == "ask") {
      if (!Ask(f)) break;
    } else if (verb == "exit") {
      expectedExit_ = std::stol(f[0]);
    } else if (verb == "poke-main-window") {
      if (!PokeMainWindow()) break;
    } else {
      Fail("unknown line: " + text);
    }
  }
  where_ = row_.file + ":" + std::to_string(row_.line);
  FinishRun();
  if (logChecked_ && !logLines_.empty()) Fail("unexpected program starts:\n    " + Join(logLines_, "\n    "));
  if (!failures_.empty())
    ADD_FAILURE_AT(row_.file.c_str(), row_.line) << row_.title << "\n" << Join(failures_, "\n")
                                                 << "\n--- transcript ---\n" << transcript_ << "------------------";
}

class RowTest : public ::testing::Test {
 public:
  RowTest(size_t row, int bits) : row_(row), bits_(bits) {}
  void TestBody() override { RowRun(g_rows[row_], bits_).Execute(); }

 private:
  size_t row_;
  int bits_;
};

std::string Slug(const std::string& title) {
  std::string out;
  for (char c : title) {
    if (isalnum(static_cast<unsigned char>(c))) out += c;
    else if (!out.empty() && out.back() != '_') out += '_';
    if (out.size() >= 48) break;
  }
  while (!out.empty() && out.back() == '_') out.pop_back();
  return out;
}

// The 32-bit program runs only where WoW64 can start it (LF_WOW64=1).
bool Wow64Available() {
  const char* flag = getenv("LF_WOW64");
  return flag && strcmp(flag, "1") == 0 && FileExists(BuiltProgram("LFSetup32.exe"));
}

const bool g_registered = [] {
  LoadScenarios();
  for (const std::string& e : g_loadErrors) fprintf(stderr, "scenario: %s\n", e.c_str());
  std::vector<int> builds = {64};
  if (Wow64Available()) builds.push_back(32);
  unsigned inFile = 0;
  for (size_t i = 0; i < g_rows.size(); ++i) {
    const Row& row = g_rows[i];
    std::string suite = row.file.substr(0, row.file.find('.'));
    inFile = i > 0 && g_rows[i - 1].file == row.file ? inFile + 1 : 1;
    char number[8];
    snprintf(number, sizeof(number), "%02u_", inFile);
    for (int bits : builds)
      ::testing::RegisterTest(suite.c_str(), (number + Slug(row.title) + (bits == 32 ? "_x86" : "_x64")).c_str(),
                              nullptr, nullptr, row.file.c_str(), row.line,
                              [i, bits]() -> ::testing::Test* { return new RowTest(i, bits); });
  }
  if (!g_loadErrors.empty())
    ::testing::RegisterTest("scenarios", "load", nullptr, nullptr, __FILE__, __LINE__, []() -> ::testing::Test* {
      struct LoadErrors : ::testing::Test {
        void TestBody() override { ADD_FAILURE() << Join(g_loadErrors, "\n"); }
      };
      return new LoadErrors;
    });
  return true;
}();

}  // namespace
