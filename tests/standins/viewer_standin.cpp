// Plays the outside programs the setup starts or closes. As the product's
// viewer (and its control program LFCtrl.exe, Internet Explorer's setup, an
// old uninstaller, Netscape) it records how it was started, becomes
// input-idle so that the starter's WaitForInputIdle returns, then quits with
// exit code 0. "--stay" keeps it running (and its file in use) until it is
// ended; "--hold PATH" also keeps PATH open without sharing, as a running
// Netscape holds its components. "--browser" plays a running platform
// browser: a "LumenFieldClass" window the setup is to find and ask to close,
// which with "--ignore-close" refuses, like a browser busy with a prompt.
// "--shell" plays the desktop's shell: its window is the shell window, and a
// program started as the desktop's user is its child.
#include <windows.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>

extern "C" BOOL WINAPI SetShellWindow(HWND);

namespace {

bool g_ignoreClose = false;

LRESULT CALLBACK StandinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER || (msg == WM_CLOSE && !g_ignoreClose))
    DestroyWindow(hwnd);
  else if (msg == WM_DESTROY)
    PostQuitMessage(0);
  else if (msg != WM_CLOSE)
    return DefWindowProcA(hwnd, msg, wp, lp);
  return 0;
}

// True when this process's parent is the process of the desktop's shell
// window.
bool StartedByDesktopShell() {
  DWORD shellId = 0, parent = 0;
  HWND shell = GetShellWindow();
  if (!shell || !GetWindowThreadProcessId(shell, &shellId)) return false;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  CloseHandle(snapshot);
  return parent == shellId;
}

// Appends "<own file name>\t<command line>\t<current folder>\n" to the file
// LF_STANDIN_LOG names, with "\tfrom the desktop shell" before the line feed
// when the desktop's shell is its parent; append-only access keeps the lines
// of stand-ins that start at once whole.
void AppendToLog() {
  char log[MAX_PATH], exe[MAX_PATH], cwd[MAX_PATH];
  if (!GetEnvironmentVariableA("LF_STANDIN_LOG", log, sizeof log) || !GetModuleFileNameA(nullptr, exe, sizeof exe) ||
      !GetCurrentDirectoryA(sizeof cwd, cwd))
    return;
  std::string line = std::string(strrchr(exe, '\\') + 1) + "\t" + GetCommandLineA() + "\t" + cwd +
                     (StartedByDesktopShell() ? "\tfrom the desktop shell" : "") + "\n";
  HANDLE f = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(f);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  AppendToLog();
  bool browser = false, stay = false, shell = false;
  HANDLE held = INVALID_HANDLE_VALUE;
  for (int i = 1; i < __argc; ++i) {
    browser = browser || strcmp(__argv[i], "--browser") == 0;
    g_ignoreClose = g_ignoreClose || strcmp(__argv[i], "--ignore-close") == 0;
    stay = stay || strcmp(__argv[i], "--stay") == 0;
    shell = shell || strcmp(__argv[i], "--shell") == 0;
    if (strcmp(__argv[i], "--hold") == 0 && i + 1 < __argc &&
        (held = CreateFileA(__argv[++i], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) == INVALID_HANDLE_VALUE)
      return 6;
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = StandinProc;
  wc.hInstance = instance;
  wc.lpszClassName = browser ? "LumenFieldClass" : "LumenFieldViewerStandin";
  HWND hwnd = RegisterClassA(&wc) ? CreateWindowExA(0, wc.lpszClassName, "Stand-in", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                                    CW_USEDEFAULT, 320, 240, nullptr, nullptr, instance, nullptr)
                                  : nullptr;
  if (!hwnd || (shell && !SetShellWindow(hwnd))) return 3;
  ShowWindow(hwnd, browser ? SW_SHOWNOACTIVATE : show);
  // The message loop is what makes WaitForInputIdle return; the timer ends
  // the program once it has served that purpose (a browser gives up after
  // two minutes, never to outlive a test run that forgot it).
  if (!stay && !SetTimer(hwnd, 1, browser ? 120000 : 150, nullptr)) return 4;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  return 0;
}
