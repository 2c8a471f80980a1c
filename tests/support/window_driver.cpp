#include "window_driver.h"

#include <commctrl.h>
#include <prsht.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const DWORD kPollMs = 10;
const DWORD kPressSettleMs = 5000;
const UINT kTextTimeoutMs = 2000;
const int kWizardNextId = 0x3024;
const DWORD kSettleMs = 100;

void Note(DriverRun& run, const std::string& line) {
  char stamp[32];
  snprintf(stamp, sizeof stamp, "[%8.3f s] ", (GetTickCount64() - run.startTick) / 1000.0);
  run.transcript += stamp + line + "\n";
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string WithoutAmpersands(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '&') out += s[i];
    else if (i + 1 < s.size() && s[i + 1] == '&') out += s[++i];  // "&&" is a literal '&'
  }
  return out;
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// GetWindowTextA only reads our own process's controls; a message does the rest.
std::string ReadText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &length))
    return "";
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied))
    return "";
  text.resize(std::min<size_t>(copied, length));
  return text;
}

std::string ClassOf(HWND hwnd) {
  char name[256];
  int n = GetClassNameA(hwnd, name, sizeof name);
  return n > 0 ? std::string(name, n) : std::string();
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

// EnumWindows reports failure also when there is nothing to list; whatever was
// collected is the answer either way.
std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> all;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

size_t IndexOf(const DriverRun& run, DWORD pid) {
  return std::find(run.pids.begin(), run.pids.end(), pid) - run.pids.begin();
}

bool IsTracked(const DriverRun& run, DWORD pid) { return IndexOf(run, pid) < run.pids.size(); }

bool IsZero(const FILETIME& t) { return t.dwLowDateTime == 0 && t.dwHighDateTime == 0; }

// Windows never reparents, so a child keeps naming its parent's id after the
// parent has gone, but by then that id may belong to someone else: a real
// child was created during its parent's lifetime.
bool BornTo(const TrackedProcess& parent, const FILETIME& childCreated) {
  if (IsZero(childCreated) || IsZero(parent.created)) return true;
  if (CompareFileTime(&childCreated, &parent.created) < 0) return false;
  if (!parent.ended || !parent.handle) return true;
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(parent.handle, &created, &exited, &kernel, &user) || IsZero(exited)) return true;
  return CompareFileTime(&childCreated, &exited) <= 0;
}

void MarkEnded(DriverRun& run, TrackedProcess& p) {
  p.ended = true;
  if (p.handle && !GetExitCodeProcess(p.handle, &p.exitCode)) p.exitCode = STILL_ACTIVE;
  if (p.pid == run.pid) run.exitCode = p.exitCode;
  Note(run, "process " + std::to_string(p.pid) + " (" + p.exeName + ") ended, exit code " +
                (p.handle ? std::to_string(p.exitCode) : std::string("unknown")));
}

// Picks up ended processes and new descendants; returns true when nothing
// tracked is running. Exits are looked at before the snapshot, so a child
// started just before its parent ended is in the snapshot we then take.
bool Refresh(DriverRun& run) {
  for (TrackedProcess& p : run.tracked)
    if (!p.ended && (!p.handle || WaitForSingleObject(p.handle, 0) == WAIT_OBJECT_0)) MarkEnded(run, p);

  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap != INVALID_HANDLE_VALUE) {
    std::vector<PROCESSENTRY32> entries;
    PROCESSENTRY32 e{};
    e.dwSize = sizeof e;
    for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e)) entries.push_back(e);
    CloseHandle(snap);
    // Repeat so a grandchild listed before its parent is still caught.
    for (bool added = true; added;) {
      added = false;
      for (const PROCESSENTRY32& entry : entries) {
        if (IsTracked(run, entry.th32ProcessID)) {
          TrackedProcess& known = run.tracked[IndexOf(run, entry.th32ProcessID)];
          if (known.exeName.empty()) known.exeName = entry.szExeFile;
          continue;
        }
        if (!IsTracked(run, entry.th32ParentProcessID)) continue;
        TrackedProcess child;
        child.pid = entry.th32ProcessID;
        child.exeName = entry.szExeFile;
        child.handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                                   FALSE, child.pid);
        char image[MAX_PATH];
        DWORD imageLen = sizeof image;
        // A process caught while still starting up has no name in the snapshot yet.
        if (child.exeName.empty() && child.handle && QueryFullProcessImageNameA(child.handle, 0, image, &imageLen))
          child.exeName = BaseName(std::string(image, imageLen));
        FILETIME exited, kernel, user;
        if (child.handle && !GetProcessTimes(child.handle, &child.created, &exited, &kernel, &user))
          child.created = FILETIME{};
        if (!BornTo(run.tracked[IndexOf(run, entry.th32ParentProcessID)], child.created)) {
          if (child.handle) CloseHandle(child.handle);
          continue;
        }
        Note(run, "process " + std::to_string(child.pid) + " (" + (child.exeName.empty() ? "?" : child.exeName) +
                      ") started by " +
                      std::to_string(entry.th32ParentProcessID));
        run.pids.push_back(child.pid);
        run.tracked.push_back(child);
        if (!child.handle || WaitForSingleObject(child.handle, 0) == WAIT_OBJECT_0) MarkEnded(run, run.tracked.back());
        added = true;
      }
    }
  } else {
    Note(run, "CreateToolhelp32Snapshot failed, error " + std::to_string(GetLastError()));
  }

  return std::all_of(run.tracked.begin(), run.tracked.end(), [](const TrackedProcess& p) { return p.ended; });
}

// A window handle can be handed out again once its window is destroyed.
void PruneKnown(DriverRun& run) {
  run.known.erase(std::remove_if(run.known.begin(), run.known.end(), [](HWND h) { return !IsWindow(h); }),
                  run.known.end());
}

DWORD OwnerPid(HWND hwnd) {
  DWORD pid = 0;
  return GetWindowThreadProcessId(hwnd, &pid) ? pid : 0;
}

HWND CurrentPage(HWND sheet) {
  DWORD_PTR page = 0;
  SendMessageTimeoutA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &page);
  return reinterpret_cast<HWND>(page);
}

std::vector<HWND> VisibleChildren(HWND parent, const char* lowerClass) {
  std::vector<HWND> found;
  for (HWND child : ChildWindows(parent))
    if (IsWindowVisible(child) && Lower(ClassOf(child)) == lowerClass) found.push_back(child);
  return found;
}

void Describe(HWND hwnd, SeenWindow* w) {
  HWND page = w->page;
  *w = SeenWindow();
  w->page = page;
  w->hwnd = hwnd;
  w->pid = OwnerPid(hwnd);
  w->className = ClassOf(hwnd);
  // A frame's caption is kept by the system: reading it needs no answer from
  // a thread that may be busy; only when that gives nothing is the window asked.
  char caption[512] = "";
  GetWindowTextA(hwnd, caption, sizeof caption);
  w->caption = caption[0] ? caption : ReadText(hwnd);
  std::string statics;
  bool haveBody = false;
  for (HWND child : ChildWindows(hwnd)) {
    // Skips a message box's unused buttons and the controls of a wizard's other pages.
    if (!IsWindowVisible(child)) continue;
    std::string cls = Lower(ClassOf(child));
    int id = GetDlgCtrlID(child);
    bool groupBox = cls == "button" && (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
    if (cls == "button" && !groupBox) {
      w->buttons.push_back(WithoutAmpersands(ReadText(child)));
      w->buttonIds.push_back(id);
      w->buttonHwnds.push_back(child);
      w->buttonEnabled.push_back(IsWindowEnabled(child) != FALSE);
    } else if ((cls == "static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) || cls == "edit" ||
               groupBox) {
      std::string text = groupBox ? WithoutAmpersands(ReadText(child)) : ReadText(child);
      if (!text.empty()) w->text += (w->text.empty() ? "" : "\n") + text;
    }
  }
}

void Record(DriverRun& run, const SeenWindow& w, const char* what) {
  std::string line = std::string(what) + " \"" + w.caption + "\" (" + w.className + ", pid " + std::to_string(w.pid) + ")";
  size_t start = 0;
  for (;;) {
    size_t end = w.text.find('\n', start);
    line += "\n              | " + w.text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  line += "\n              buttons:";
  for (size_t i = 0; i < w.buttons.size(); ++i)
    line += w.buttonEnabled[i] ? " [" + w.buttons[i] + "]" : " (" + w.buttons[i] + ")";
  Note(run, line);
}

// A sent message returns once the program waits for messages again, so a
// page change or dialog under way has completed.
void Sync(HWND hwnd) {
  DWORD_PTR ignored;
  SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &ignored);
}

// A wizard is one window: it counts as new whenever it shows a page other
// than the one last reported; a dialog over it disables it, and once that
// dialog has gone its page counts again.
bool FindNewWindow(DriverRun& run, SeenWindow* out) {
  for (HWND hwnd : TopLevelWindows()) {
    if (!IsWindowVisible(hwnd) || ClassOf(hwnd) != "#32770" || !IsTracked(run, OwnerPid(hwnd))) continue;
    bool wizard = GetDlgItem(hwnd, kWizardNextId) != nullptr;
    if (!wizard && std::find(run.known.begin(), run.known.end(), hwnd) != run.known.end()) continue;
    HWND page = nullptr;
    if (wizard) {
      Sync(hwnd);
      page = CurrentPage(hwnd);
      if (!page || !IsWindowEnabled(hwnd) || run.shownPage[hwnd] == page) continue;
    }
    // A window that a pending quit message ends at once (a message box, a
    // wizard's next page) was never there for a user to answer.
    Sleep(kSettleMs);
    Sync(hwnd);
    if (!IsWindowVisible(hwnd) || (wizard && (!IsWindowEnabled(hwnd) || CurrentPage(hwnd) != page))) continue;
    out->page = page;
    Describe(hwnd, out);
    if (out->buttons.empty() && out->text.empty()) continue;
    if (wizard) {
      run.shownPage[hwnd] = page;
    } else {
      run.known.push_back(hwnd);
      for (auto& shown : run.shownPage) shown.second = nullptr;
    }
    return true;
  }
  return false;
}

std::string RunningList(const DriverRun& run) {
  std::string list;
  for (const TrackedProcess& p : run.tracked)
    if (!p.ended) list += " " + std::to_string(p.pid) + " (" + p.exeName + ")";
  return list;
}

bool IsPe64(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  IMAGE_DOS_HEADER dos{};
  DWORD got = 0;
  bool ok = ReadFile(f, &dos, sizeof dos, &got, nullptr) && got == sizeof dos && dos.e_magic == IMAGE_DOS_SIGNATURE;
  IMAGE_NT_HEADERS64 nt{};
  ok = ok && SetFilePointer(f, dos.e_lfanew, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
       ReadFile(f, &nt, sizeof nt, &got, nullptr) && got == sizeof nt;
  CloseHandle(f);
  return ok && nt.Signature == IMAGE_NT_SIGNATURE && nt.FileHeader.Machine == IMAGE_FILE_MACHINE_AMD64 &&
         nt.OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
}

std::string ProgramToken(const std::string& commandLine) {
  if (!commandLine.empty() && commandLine[0] == '"') {
    size_t close = commandLine.find('"', 1);
    return commandLine.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  return commandLine.substr(0, commandLine.find_first_of(" \t"));
}

std::string NameOf(const std::string& entry) {
  // Entries such as "=C:=C:\dir" start with '='; their name runs to the second one.
  return Lower(entry.substr(0, entry.find('=', 1)));
}

// An empty result means "inherit unchanged".
std::string EnvironmentBlock(const std::vector<std::string>& overrides) {
  if (overrides.empty()) return "";
  std::vector<std::string> vars;
  if (LPCH inherited = GetEnvironmentStringsA()) {
    for (const char* p = inherited; *p; p += strlen(p) + 1) vars.push_back(p);
    FreeEnvironmentStringsA(inherited);
  }
  for (const std::string& o : overrides) {
    std::string name = NameOf(o);
    vars.erase(std::remove_if(vars.begin(), vars.end(), [&](const std::string& v) { return NameOf(v) == name; }),
               vars.end());
    if (o.find('=', 1) != std::string::npos) vars.push_back(o);
  }
  std::stable_sort(vars.begin(), vars.end(),
                   [](const std::string& a, const std::string& b) { return NameOf(a) < NameOf(b); });
  std::string block;
  for (const std::string& v : vars) block += v + '\0';
  block += '\0';
  if (vars.empty()) block += '\0';
  return block;
}

}  // namespace

DriverRun::~DriverRun() { EndRun(*this); }

bool StartProgram(DriverRun& run, const std::string& commandLine, const std::string& workDir,
                  const std::vector<std::string>& envOverrides) {
  if (!run.tracked.empty()) {
    Note(run, "StartProgram: this run has already started a program");
    return false;
  }
  run.startTick = GetTickCount64();
  std::string token = ProgramToken(commandLine);
  char found[MAX_PATH];
  DWORD n = SearchPathA(nullptr, token.c_str(), ".exe", sizeof found, found, nullptr);
  if (n == 0 || n >= sizeof found) {
    Note(run, "cannot find program \"" + token + "\" (quote a path with spaces)");
    return false;
  }
  // A 32-bit program runs only where WoW64 is set up (LF_WOW64=1); elsewhere
  // wine64 would report success without running it.
  const char* wow64 = getenv("LF_WOW64");
  if (!IsPe64(found) && !(wow64 && strcmp(wow64, "1") == 0)) {
    Note(run, "refusing \"" + std::string(found) + "\": not a 64-bit Windows program");
    return false;
  }
  for (const std::string& o : envOverrides) Note(run, "environment " + o);
  // On a fresh wineserver the first process to touch the desktop starts Wine's
  // long-lived explorer.exe as its child; it must be ours, not a descendant we
  // would wait for and finally terminate.
  if (!GetDesktopWindow()) Note(run, "no desktop window");
  std::string env = EnvironmentBlock(envOverrides);
  std::string cmd = commandLine;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, run.inheritHandles ? TRUE : FALSE, 0,
                      env.empty() ? nullptr : &env[0],
                      workDir.empty() ? nullptr : workDir.c_str(), &si, &pi)) {
    Note(run, "cannot start " + commandLine + ": error " + std::to_string(GetLastError()));
    return false;
  }
  CloseHandle(pi.hThread);
  TrackedProcess p;
  p.pid = pi.dwProcessId;
  p.handle = pi.hProcess;
  p.exeName = BaseName(found);
  FILETIME exited, kernel, user;
  if (!GetProcessTimes(p.handle, &p.created, &exited, &kernel, &user)) p.created = FILETIME{};
  run.process = pi.hProcess;
  run.pid = pi.dwProcessId;
  run.pids.push_back(p.pid);
  run.tracked.push_back(p);
  Note(run, "started pid " + std::to_string(run.pid) + ": " + commandLine +
                (workDir.empty() ? "" : "  (in " + workDir + ")"));
  return true;
}

bool WaitForWindow(DriverRun& run, SeenWindow* out, DWORD timeoutMs) {
  SeenWindow local;
  SeenWindow* w = out ? out : &local;
  ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    bool ended = Refresh(run);
    PruneKnown(run);
    if (FindNewWindow(run, w)) {
      Record(run, *w, "window");
      return true;
    }
    if (ended) {
      Note(run, "no window: every process has ended");
      return false;
    }
    if (GetTickCount64() >= deadline) {
      Note(run, "no window within " + std::to_string(timeoutMs) + " ms; still running:" + RunningList(run));
      return false;
    }
    Sleep(kPollMs);
  }
}

static bool SettleAfterPress(DriverRun& run, const SeenWindow& w);

bool PressButton(DriverRun& run, const SeenWindow& w, const std::string& buttonCaption) {
  std::string wanted = Lower(WithoutAmpersands(buttonCaption));
  if (wanted == "close box") {
    Note(run, "close \"" + w.caption + "\" by its close box");
    PostMessageA(w.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return SettleAfterPress(run, w);
  }
  size_t i = 0;
  while (i < w.buttons.size() && Lower(w.buttons[i]) != wanted) ++i;
  if (i == w.buttons.size()) {
    Note(run, "cannot press [" + buttonCaption + "]: \"" + w.caption + "\" has no such button");
    return false;
  }
  if (!w.buttonEnabled[i]) {
    Note(run, "cannot press [" + buttonCaption + "]: it is disabled");
    return false;
  }
  HWND button = i < w.buttonHwnds.size() ? w.buttonHwnds[i] : GetDlgItem(w.hwnd, w.buttonIds[i]);
  HWND dialog = button ? GetParent(button) : nullptr;
  if (!dialog) dialog = w.hwnd;
  Note(run, "press [" + w.buttons[i] + "] (id " + std::to_string(w.buttonIds[i]) + ") in \"" + w.caption + "\"");
  WPARAM wp = MAKEWPARAM(static_cast<WORD>(w.buttonIds[i]), BN_CLICKED);
  if (!PostMessageA(dialog, WM_COMMAND, wp, reinterpret_cast<LPARAM>(button))) {
    Note(run, "press failed: PostMessage error " + std::to_string(GetLastError()));
    return false;
  }
  return SettleAfterPress(run, w);
}

static bool SettleAfterPress(DriverRun& run, const SeenWindow& w) {
  ULONGLONG deadline = GetTickCount64() + kPressSettleMs;
  // A wizard has answered once it turns the page, shows a dialog or closes.
  while (IsWindow(w.hwnd) && IsWindowVisible(w.hwnd) &&
         (!w.page || (IsWindowEnabled(w.hwnd) && CurrentPage(w.hwnd) == w.page))) {
    if (GetTickCount64() >= deadline) {
      Note(run, "\"" + w.caption + "\" still shown " + std::to_string(kPressSettleMs) + " ms after the press");
      return false;
    }
    Sleep(kPollMs);
  }
  return true;
}

bool WaitForEnd(DriverRun& run, DWORD timeoutMs) {
  ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    bool ended = Refresh(run);
    PruneKnown(run);
    SeenWindow w;
    if (FindNewWindow(run, &w)) {
      Record(run, w, "unexpected window");
      return false;
    }
    if (ended) {
      Note(run, "every process has ended; exit code " + std::to_string(run.exitCode));
      return true;
    }
    if (GetTickCount64() >= deadline) {
      Note(run, "still running after " + std::to_string(timeoutMs) + " ms:" + RunningList(run));
      return false;
    }
    Sleep(kPollMs);
  }
}

bool AllEnded(DriverRun& run) { return Refresh(run); }

void DescribeWindow(HWND hwnd, SeenWindow* w) { Describe(hwnd, w); }

bool TypeText(DriverRun& run, const SeenWindow& w, const std::string& text) {
  std::vector<HWND> edits = VisibleChildren(w.hwnd, "edit");
  DWORD_PTR done = 0;
  Note(run, "type \"" + text + "\" in \"" + w.caption + "\"");
  return !edits.empty() && SendMessageTimeoutA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                               SMTO_ABORTIFHUNG, kTextTimeoutMs, &done) && done;
}

// Tree items are read through a buffer in the program's own memory: the
// tree control takes the item record by address.
bool SelectTreeItem(DriverRun& run, const SeenWindow& w, const std::string& path) {
  std::vector<HWND> trees = VisibleChildren(w.hwnd, "systreeview32");
  HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, w.pid);
  char* remote = proc ? static_cast<char*>(VirtualAllocEx(proc, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE)) : nullptr;
  auto send = [&](UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR r = 0;
    SendMessageTimeoutA(trees[0], msg, wp, lp, SMTO_ABORTIFHUNG, kTextTimeoutMs, &r);
    return r;
  };
  DWORD_PTR item = 0;
  std::string seen;
  for (size_t from = 0; remote && !trees.empty() && from <= path.size();) {
    size_t end = std::min(path.find('\\', from), path.size());
    std::string want = Lower(path.substr(from, end - from));
    from = end + 1;
    seen.clear();
    item = send(TVM_GETNEXTITEM, item ? TVGN_CHILD : TVGN_ROOT, item);
    for (; item; item = send(TVM_GETNEXTITEM, TVGN_NEXT, item)) {
      TVITEMA tv{};
      tv.mask = TVIF_TEXT;
      tv.hItem = reinterpret_cast<HTREEITEM>(item);
      tv.pszText = remote + sizeof tv;
      tv.cchTextMax = 256;
      char text[256] = "";
      if (!WriteProcessMemory(proc, remote, &tv, sizeof tv, nullptr) || !send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote)) ||
          !ReadProcessMemory(proc, remote + sizeof tv, text, sizeof text - 1, nullptr)) {
        item = 0;
        break;
      }
      std::string label = text;  // a drive without a volume label reads " (C:)"
      label.erase(0, label.find_first_not_of(' '));
      seen += " [" + label + "]";
      if (Lower(label) == want) break;
    }
    if (!item) break;
    send(TVM_EXPAND, TVE_EXPAND, item);
  }
  if (item) send(TVM_SELECTITEM, TVGN_CARET, item);
  if (remote) VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
  if (proc) CloseHandle(proc);
  Note(run, "select \"" + path + "\" in \"" + w.caption + "\"" + (item ? "" : ": not found among" + seen));
  return item != 0;
}

bool AnyTrackedWindowVisible(DriverRun& run, const char* className) {
  Refresh(run);
  for (HWND hwnd : TopLevelWindows()) {
    if (!IsWindowVisible(hwnd) || !IsTracked(run, OwnerPid(hwnd))) continue;
    if (!className || Lower(ClassOf(hwnd)) == Lower(className)) return true;
  }
  return false;
}

void EndRun(DriverRun& run) {
  if (run.tracked.empty() || !run.process) return;
  // Ancestors come first in `tracked`, so a parent is stopped before it can
  // start more; the loop then catches children started in the meantime.
  for (int round = 0; round < 5 && !Refresh(run); ++round) {
    for (TrackedProcess& p : run.tracked) {
      if (p.ended || !p.handle) continue;
      if (TerminateProcess(p.handle, 1)) {
        Note(run, "terminated " + std::to_string(p.pid) + " (" + p.exeName + ")");
        if (WaitForSingleObject(p.handle, 5000) != WAIT_OBJECT_0) Note(run, "it did not end within 5 s");
      } else {
        Note(run, "cannot terminate " + std::to_string(p.pid) + ": error " + std::to_string(GetLastError()));
      }
    }
  }
  for (TrackedProcess& p : run.tracked) {
    if (p.handle) CloseHandle(p.handle);
    p.handle = nullptr;
  }
  run.process = nullptr;
}

std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string out = "\"";
  for (size_t i = 0;; ++i) {
    size_t backslashes = 0;
    while (i < arg.size() && arg[i] == '\\') {
      ++i;
      ++backslashes;
    }
    if (i == arg.size()) {
      out.append(backslashes * 2, '\\');  // the closing quote must stay a quote
      break;
    }
    if (arg[i] == '"') {
      out.append(backslashes * 2 + 1, '\\');
      out += '"';
    } else {
      out.append(backslashes, '\\');
      out += arg[i];
    }
  }
  return out + "\"";
}
