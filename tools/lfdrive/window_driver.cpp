#include "window_driver.h"

#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

// The texts of the run's progress windows, read every few milliseconds on a
// thread of its own. A sample of the bar waits three times for the window's
// turn to handle messages; a file written quicker than that is still seen.
struct TextWatch {
  std::mutex lock;
  std::vector<DWORD> pids;         // the run's live processes, as Poll last saw them
  std::vector<std::pair<HWND, std::string>> texts;  // seen and not yet taken
  std::atomic<bool> stop{false};
  std::thread thread;
};

namespace {

const int kWizardNextId = 0x3024;

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, 2000, &result);
  return static_cast<LRESULT>(result);
}

// GetWindowTextA reads only this process's controls; a message does the rest.
std::string ReadText(HWND hwnd) {
  std::vector<char> text(16384);
  return std::string(text.data(), Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
}

std::string WithoutAmpersands(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&' && i + 1 < s.size()) ++i;  // "&&" is a literal '&'
    out += s[i];
  }
  return out;
}

std::string ClassOf(HWND hwnd) {
  char name[256] = "";
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

// The top-level windows (parent null) or every descendant of parent.
std::vector<HWND> Windows(HWND parent) {
  std::vector<HWND> all;
  if (parent)
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&all));
  else
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND CurrentPage(HWND sheet) { return reinterpret_cast<HWND>(Send(sheet, PSM_GETCURRENTPAGEHWND)); }

bool Tracked(const Run& run, HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return std::any_of(run.procs.begin(), run.procs.end(), [&](const Process& p) { return p.pid == pid && !p.ended; });
}

void SharePids(Run& run) {
  if (!run.textWatch) return;
  std::lock_guard<std::mutex> hold(run.textWatch->lock);
  run.textWatch->pids.clear();
  for (const Process& p : run.procs)
    if (!p.ended) run.textWatch->pids.push_back(p.pid);
}

// Takes in what the job reports: processes started and ended, and the end of all.
void Poll(Run& run) {
  DWORD message = 0;
  ULONG_PTR key = 0;
  LPOVERLAPPED data = nullptr;
  while (run.port && GetQueuedCompletionStatus(run.port, &message, &key, &data, 0)) {
    DWORD pid = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(data));
    auto p =
        std::find_if(run.procs.begin(), run.procs.end(), [&](const Process& q) { return q.pid == pid && !q.ended; });
    if (message == JOB_OBJECT_MSG_NEW_PROCESS && p == run.procs.end()) {
      run.procs.push_back({pid, OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)});
      Note(run, "process " + std::to_string(pid) + " started");
    } else if ((message == JOB_OBJECT_MSG_EXIT_PROCESS || message == JOB_OBJECT_MSG_ABNORMAL_EXIT_PROCESS) &&
               p != run.procs.end()) {
      char image[MAX_PATH] = "";
      DWORD length = sizeof image;
      p->ended = true;
      if (p->handle && QueryFullProcessImageNameA(p->handle, 0, image, &length)) p->name = BaseName(image);
      if (p->handle) GetExitCodeProcess(p->handle, &p->exitCode);
      Note(run,
           "process " + std::to_string(pid) + " (" + p->name + ") ended, exit code " + std::to_string(p->exitCode));
    } else if (message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) {
      run.ended = true;
    }
    SharePids(run);
  }
}

void Record(Run& run, const Window& w, const char* what) {
  std::string line = std::string(what) + " \"" + w.caption + "\" (pid " + std::to_string(w.pid) + ")\n              | ";
  for (char c : w.text) line += c == '\n' ? std::string("\n              | ") : std::string(1, c);
  line += "\n              buttons:";
  for (size_t i = 0; i < w.buttons.size(); ++i)
    line += IsWindowEnabled(w.buttons[i]) ? " [" + w.labels[i] + "]" : " (" + w.labels[i] + ")";
  Note(run, line);
}

// The texts of a window's statics, read without a message, and its bar.
std::string StaticTexts(HWND hwnd, HWND* bar) {
  std::string text;
  for (HWND child : Windows(hwnd)) {
    std::string cls = Lower(ClassOf(child));
    if (cls == "msctls_progress32") *bar = child;
    char own[1024] = "";
    if (cls == "static" && IsWindowVisible(child) && GetWindowTextA(child, own, sizeof own))
      text += (text.empty() ? "" : "\n") + std::string(own);
  }
  return text;
}

void WatchTexts(TextWatch* watch) {
  std::map<HWND, std::string> last;
  while (!watch->stop) {
    std::vector<DWORD> pids;
    {
      std::lock_guard<std::mutex> hold(watch->lock);
      pids = watch->pids;
    }
    for (HWND hwnd : Windows(nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(hwnd, &pid);
      if (!IsWindowVisible(hwnd) || std::find(pids.begin(), pids.end(), pid) == pids.end()) continue;
      HWND bar = nullptr;
      std::string text = StaticTexts(hwnd, &bar);
      if (!bar || last[hwnd] == text) continue;
      last[hwnd] = text;
      std::lock_guard<std::mutex> hold(watch->lock);
      watch->texts.emplace_back(hwnd, text);
    }
    Sleep(3);
  }
}

void NoteProgress(Run& run, HWND hwnd, const ProgressSample& now) {
  if (!run.progress.empty() && run.progress.back().position == now.position &&
      run.progress.back().range == now.range && run.progress.back().text == now.text)
    return;
  run.progress.push_back(now);
  if (run.onProgress) run.onProgress(hwnd, now);
  std::string line = now.text;
  for (char& c : line) if (c == '\n') c = ' ';
  Note(run, "progress " + std::to_string(now.position) + "/" + std::to_string(now.range) + ": " + line);
}

// The texts the watching thread saw since the last sample, each as a sample
// at the position last read: the bar was at least there, and never goes back.
void AddTextsSeen(Run& run, int range) {
  std::vector<std::pair<HWND, std::string>> seen;
  if (run.textWatch) {
    std::lock_guard<std::mutex> hold(run.textWatch->lock);
    seen.swap(run.textWatch->texts);
  }
  for (const auto& text : seen) {
    ProgressSample sample;
    sample.position = run.progress.empty() ? 0 : run.progress.back().position;
    sample.range = range;
    sample.text = text.second;
    NoteProgress(run, text.first, sample);
  }
}

// A window of the run that holds a progress bar: its position, range and
// text, taken as a new sample when they changed, and how fast the window
// answers a message that asks for nothing.
void WatchProgress(Run& run) {
  for (HWND hwnd : Windows(nullptr)) {
    if (!IsWindowVisible(hwnd) || !Tracked(run, hwnd)) continue;
    HWND bar = FindWindowExA(hwnd, nullptr, PROGRESS_CLASSA, nullptr);
    if (!bar) continue;
    DWORD_PTR ignored = 0;
    ULONGLONG asked = GetTickCount64();
    SetLastError(0);
    bool answered = SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) != 0;
    DWORD error = GetLastError();
    DWORD took = static_cast<DWORD>(GetTickCount64() - asked);
    ProgressSample now;
    now.position = static_cast<int>(Send(bar, PBM_GETPOS));
    now.range = static_cast<int>(Send(bar, PBM_GETRANGE, FALSE));
    // The texts after the messages, which wait for the window's turn: the
    // file line then goes with the bar's position.
    now.text = StaticTexts(hwnd, &bar);
    // A window that closed while it was read answered nothing and its bar
    // read as 0: that sample is not the window's.
    if (!IsWindow(hwnd) || !IsWindow(bar) || !IsWindowVisible(hwnd)) continue;
    if (!answered && (error == ERROR_TIMEOUT || took >= 1000)) ++run.unanswered;
    if (took > run.slowestAnswerMs) run.slowestAnswerMs = took;
    AddTextsSeen(run, now.range);
    NoteProgress(run, hwnd, now);
  }
  // After the window has gone, what was seen last goes with its last sample.
  if (!run.progress.empty()) AddTextsSeen(run, run.progress.back().range);
}

// A wizard counts as new whenever it shows a page other than the one last
// reported; a dialog over it disables it, and once that dialog has gone its
// page counts again.
bool FindNewWindow(Run& run, Window* w) {
  for (auto it = run.known.begin(); it != run.known.end();) it = IsWindow(*it) ? std::next(it) : run.known.erase(it);
  for (HWND hwnd : Windows(nullptr)) {
    if (!IsWindowVisible(hwnd) || ClassOf(hwnd) != "#32770" || !Tracked(run, hwnd)) continue;
    bool wizard = GetDlgItem(hwnd, kWizardNextId) != nullptr;
    HWND page = wizard ? CurrentPage(hwnd) : nullptr;
    if (wizard ? !page || !IsWindowEnabled(hwnd) || run.shownPage[hwnd] == page : run.known.count(hwnd) > 0) continue;
    // A window that a pending quit message ends at once (a message box, a
    // wizard's next page) was never there for a user to answer.
    Sleep(100);
    Send(hwnd, WM_NULL);
    // What a progress bar shows under the new window, before it is answered
    // and the bar's window goes.
    WatchProgress(run);
    if (!IsWindowVisible(hwnd) || (wizard && (!IsWindowEnabled(hwnd) || CurrentPage(hwnd) != page))) continue;
    w->hwnd = hwnd;
    w->page = page;
    Describe(w);
    if (w->buttons.empty() && w->text.empty()) continue;
    if (wizard) {
      run.shownPage[hwnd] = page;
    } else {
      run.known.insert(hwnd);
      for (auto& shown : run.shownPage) shown.second = nullptr;
    }
    return true;
  }
  return false;
}

// 1: a new window, 0: every process has ended, -1: time-out.
int Wait(Run& run, Window* w, DWORD timeoutMs) {
  for (ULONGLONG deadline = GetTickCount64() + timeoutMs;; Sleep(10)) {
    Poll(run);
    WatchProgress(run);
    if (FindNewWindow(run, w)) return 1;
    if (run.ended) return 0;
    if (GetTickCount64() < deadline) continue;
    std::string running;
    for (const Process& p : run.procs)
      if (!p.ended) running += " " + std::to_string(p.pid);
    Note(run, "nothing within " + std::to_string(timeoutMs) + " ms; still running:" + running);
    return -1;
  }
}

}  // namespace

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

Run::Run() = default;
Run::~Run() { End(*this); }

void Note(Run& run, const std::string& line) {
  char stamp[32];
  snprintf(stamp, sizeof stamp, "[%8.3f s] ", (GetTickCount64() - run.startTick) / 1000.0);
  run.transcript += stamp + line + "\n";
}

bool Start(Run& run, const std::string& commandLine, const std::string& workDir, bool inheritHandles,
           bool suspended) {
  run.startTick = GetTickCount64();
  std::string exe = commandLine[0] == '"' ? commandLine.substr(1, commandLine.find('"', 1) - 1)
                                          : commandLine.substr(0, commandLine.find(' '));
  const char* wow64 = getenv("LF_WOW64");
  DWORD type = 0;
  if (!GetBinaryTypeA(exe.c_str(), &type) || (type != SCS_64BIT_BINARY && !(wow64 && strcmp(wow64, "1") == 0))) {
    Note(run, "refusing \"" + exe + "\": not a 64-bit Windows program");
    return false;
  }
  // On a fresh wineserver the first process to touch the desktop starts
  // Wine's long-lived explorer.exe as its child: that must be this one, not
  // a process of the job that would never end.
  GetDesktopWindow();
  run.job = CreateJobObjectA(nullptr, nullptr);
  run.port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT port{run.job, run.port};
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  if (!SetInformationJobObject(run.job, JobObjectAssociateCompletionPortInformation, &port, sizeof port) ||
      !CreateProcessA(nullptr, &line[0], nullptr, nullptr, inheritHandles, CREATE_SUSPENDED, nullptr,
                      workDir.empty() ? nullptr : workDir.c_str(), &si, &pi)) {
    Note(run, "cannot start " + commandLine + ": error " + std::to_string(GetLastError()));
    return false;
  }
  AssignProcessToJobObject(run.job, pi.hProcess);
  run.thread = pi.hThread;
  if (!suspended) Resume(run);
  run.procs.push_back({pi.dwProcessId, pi.hProcess});
  run.textWatch.reset(new TextWatch);
  SharePids(run);
  run.textWatch->thread = std::thread(WatchTexts, run.textWatch.get());
  Note(run, "started pid " + std::to_string(pi.dwProcessId) + ": " + commandLine +
                (workDir.empty() ? "" : " (in " + workDir + ")"));
  return true;
}

void Resume(Run& run) {
  if (!run.thread) return;
  ResumeThread(run.thread);
  CloseHandle(run.thread);
  run.thread = nullptr;
}

bool NextWindow(Run& run, Window* w, DWORD timeoutMs) {
  int got = Wait(run, w, timeoutMs);
  if (got == 1) Record(run, *w, "window");
  if (got == 0) Note(run, "no window: every process has ended");
  return got == 1;
}

bool WaitForEnd(Run& run, DWORD timeoutMs) {
  Window w;
  int got = Wait(run, &w, timeoutMs);
  if (got == 1) Record(run, w, "unexpected window");
  return got == 0;
}

bool WaitForEndOfEnded(Run& run, DWORD timeoutMs, DWORD leftoverMs) {
  HANDLE program = run.procs.empty() ? nullptr : run.procs[0].handle;
  if (program && WaitForSingleObject(program, timeoutMs) != WAIT_OBJECT_0) return WaitForEnd(run, 0);
  if (WaitForEnd(run, leftoverMs)) return true;
  Note(run, "the ended program has gone; what it was starting as it was ended is still there and goes with its job");
  return !run.procs.empty() && run.procs[0].ended;
}

void Describe(Window* w) {
  char caption[512] = "";
  GetWindowTextA(w->hwnd, caption, sizeof caption);
  w->caption = caption[0] ? caption : ReadText(w->hwnd);
  GetWindowThreadProcessId(w->hwnd, &w->pid);
  w->text.clear();
  w->buttons.clear();
  w->labels.clear();
  for (HWND child : Windows(w->hwnd)) {
    // Skips a message box's unused buttons and the controls of a wizard's other pages.
    if (!IsWindowVisible(child)) continue;
    std::string cls = Lower(ClassOf(child));
    LONG style = GetWindowLongA(child, GWL_STYLE);
    bool group = cls == "button" && (style & BS_TYPEMASK) == BS_GROUPBOX;
    std::string text = group ? WithoutAmpersands(ReadText(child)) : ReadText(child);
    if (cls == "button" && !group) {
      w->buttons.push_back(child);
      w->labels.push_back(WithoutAmpersands(text));
    } else if ((group || cls == "edit" || (cls == "static" && (style & SS_TYPEMASK) != SS_ICON)) && !text.empty()) {
      w->text += (w->text.empty() ? "" : "\n") + text;
    }
  }
}

std::string EnabledButtons(const Window& w) {
  std::string enabled;
  for (size_t i = 0; i < w.buttons.size(); ++i)
    if (IsWindowEnabled(w.buttons[i])) enabled += (enabled.empty() ? "" : ", ") + w.labels[i];
  return enabled;
}

bool Press(Run& run, const Window& w, const std::string& button) {
  size_t i = 0;
  while (i < w.labels.size() && Lower(w.labels[i]) != Lower(button)) ++i;
  if (Lower(button) == "close box") {
    Note(run, "close \"" + w.caption + "\" by its close box");
    PostMessageA(w.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (i == w.labels.size() || !IsWindowEnabled(w.buttons[i])) {
    Note(run, "cannot press [" + button + "] in \"" + w.caption + "\": no such button enabled");
    return false;
  } else {
    // A page's buttons belong to the page, not to the wizard's frame.
    Note(run, "press [" + w.labels[i] + "] in \"" + w.caption + "\"");
    PostMessageA(GetParent(w.buttons[i]), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w.buttons[i]), BN_CLICKED),
                 reinterpret_cast<LPARAM>(w.buttons[i]));
  }
  // A wizard has answered once it turns the page, shows a dialog or closes.
  for (ULONGLONG deadline = GetTickCount64() + 5000;
       IsWindowVisible(w.hwnd) && (!w.page || (IsWindowEnabled(w.hwnd) && CurrentPage(w.hwnd) == w.page)); Sleep(10)) {
    if (GetTickCount64() < deadline) continue;
    Note(run, "\"" + w.caption + "\" still shown 5 s after the press");
    return false;
  }
  return true;
}

bool TypeText(Run& run, const Window& w, const std::string& text) {
  Note(run, "type \"" + text + "\" in \"" + w.caption + "\"");
  for (HWND child : Windows(w.hwnd))
    if (IsWindowVisible(child) && Lower(ClassOf(child)) == "edit")
      return Send(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
  return false;
}

// The dialog takes the path by address: it is written into the dialog's own memory.
bool SelectFolder(Run& run, const Window& w, const std::string& path) {
  Note(run, "select \"" + path + "\" in \"" + w.caption + "\"");
  HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, w.pid);
  void* remote = proc ? VirtualAllocEx(proc, nullptr, path.size() + 1, MEM_COMMIT, PAGE_READWRITE) : nullptr;
  bool ok = remote && WriteProcessMemory(proc, remote, path.c_str(), path.size() + 1, nullptr);
  if (ok) Send(w.hwnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(remote));
  if (remote) VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
  if (proc) CloseHandle(proc);
  return ok;
}

void End(Run& run) {
  if (run.textWatch) {
    run.textWatch->stop = true;
    if (run.textWatch->thread.joinable()) run.textWatch->thread.join();
  }
  if (run.job) TerminateJobObject(run.job, 1);
  Resume(run);
  for (Process& p : run.procs) {
    if (p.handle && WaitForSingleObject(p.handle, 5000) != WAIT_OBJECT_0)
      Note(run, "cannot end process " + std::to_string(p.pid));
    if (p.handle) CloseHandle(p.handle);
    p.handle = nullptr;
  }
  for (HANDLE* h : {&run.job, &run.port}) {
    if (*h) CloseHandle(*h);
    *h = nullptr;
  }
}
