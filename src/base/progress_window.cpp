#include "base/progress_window.h"

#include <commctrl.h>
#include <objbase.h>
#include <shobjidl.h>

#include "base/globals.h"
#include "base/handles.h"
#include "base/names.h"
#include "base/text_util.h"

namespace {

const char kClassName[] = "LFProgressWClass";
const char kInstallingLine[] = "Installing the " LF_PRODUCT " Browser";
const char kRemovingLine[] = "Removing the " LF_PRODUCT " Browser";
const char kCopyingFormat[] = "Copying %s";
const char kRemovingFormat[] = "Removing %s";
// The bar moves about 30 times a second: often enough to look smooth,
// seldom enough to cost nothing beside the work. Messages are handled more
// often, so that a program that asks the window something waits little.
const DWORD kUpdateMs = 33;
const DWORD kAnswerMs = 10;
enum { kWidth = 440, kHeight = 112, kMargin = 16, kLineHeight = 18 };

struct Progress {
  HWND window = nullptr, fileLine = nullptr, bar = nullptr;
  ProgressKind kind = kProgressInstall;
  ULONGLONG total = 0, done = 0;
  ULONGLONG itemDone = 0;  // the work of the file at hand so far
  int position = 0;    // the bar's, which never goes back
  int shown = -1;      // the position last put on the screen
  DWORD lastUpdate = 0, lastAnswer = 0;
  char file[kPathSize + 16] = "";
  int fileChanged = 0;
  ScopedComPtr<ITaskbarList3> taskbar;
};
Progress g_progress;

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // No Cancel and no close: the work goes on to its end.
  if (msg == WM_CLOSE || (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_CLOSE)) return 0;
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// Every message of this thread handled: the window repaints, moves and
// answers. A quit message, which ends the run, is left for the run's loop.
void HandleMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Show(int force) {
  Progress& p = g_progress;
  DWORD now = GetTickCount();
  if (!force && now - p.lastAnswer < kAnswerMs) return;
  p.lastAnswer = now;
  if (!force && now - p.lastUpdate < kUpdateMs) {
    HandleMessages();
    return;
  }
  p.lastUpdate = now;
  if (p.fileChanged) SetWindowTextA(p.fileLine, p.file);
  p.fileChanged = 0;
  if (p.position != p.shown) {
    SendMessageA(p.bar, PBM_SETPOS, p.position, 0);
    if (p.taskbar.p) p.taskbar->SetProgressValue(p.window, p.position, kProgressRange);
    p.shown = p.position;
  }
  HandleMessages();
}

void MoveBar() {
  Progress& p = g_progress;
  const ULONGLONG workEnd = kProgressWorkEnd;
  ULONGLONG share = p.total ? p.done * workEnd / p.total : workEnd;
  int position = static_cast<int>(share > workEnd ? workEnd : share);
  if (position > p.position) p.position = position;
}

HWND Child(HWND parent, const char* cls, DWORD style, int y, int height, const char* text) {
  RECT client;
  GetClientRect(parent, &client);
  HWND child = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, kMargin, y,
                               client.right - 2 * kMargin, height, parent, nullptr, g_hInstance, nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  return child;
}

}  // namespace

void BeginProgress(ProgressKind kind, ULONGLONG total) {
  Progress& p = g_progress;
  if (g_silent || g_quiet || p.window) return;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ProgressProc;
  wc.hInstance = g_hInstance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  // The window's size in the screen's own pixels: the program is DPI aware.
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  RECT frame = {0, 0, MulDiv(kWidth, dpi, 96), MulDiv(kHeight, dpi, 96)};
  DWORD style = WS_CAPTION | WS_SYSMENU;
  AdjustWindowRect(&frame, style, FALSE);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  p.window = CreateWindowExA(WS_EX_APPWINDOW, kClassName, kind == kProgressInstall ? g_setupCaption : g_uninstallCaption,
                             style, work.left + (work.right - work.left - width) / 2,
                             work.top + (work.bottom - work.top - height) / 2, width, height, nullptr, nullptr,
                             g_hInstance, nullptr);
  if (!p.window) return;
  EnableMenuItem(GetSystemMenu(p.window, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  int line = MulDiv(kLineHeight, dpi, 96), margin = MulDiv(kMargin, dpi, 96);
  Child(p.window, "STATIC", SS_LEFT | SS_NOPREFIX, margin, line,
        kind == kProgressInstall ? kInstallingLine : kRemovingLine);
  p.fileLine = Child(p.window, "STATIC", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, margin + 3 * line / 2, line, "");
  p.bar = Child(p.window, PROGRESS_CLASS, PBS_SMOOTH, margin + 7 * line / 2, line, nullptr);
  SendMessageA(p.bar, PBM_SETRANGE32, 0, kProgressRange);
  p.kind = kind;
  p.total = total;
  p.done = 0;
  p.position = 0;
  p.shown = -1;
  // The taskbar's progress, where Windows has it (7 and later).
  if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                 p.taskbar.Out())) &&
      FAILED(p.taskbar->HrInit()))
    p.taskbar.Release();
  ShowWindow(p.window, SW_SHOWNORMAL);
  UpdateWindow(p.window);
  SetForegroundWindow(p.window);
  if (p.taskbar.p) p.taskbar->SetProgressState(p.window, TBPF_NORMAL);
  Show(1);
}

void AddProgressTotal(ULONGLONG more) { g_progress.total += more; }

void ProgressItem(const char* path) {
  Progress& p = g_progress;
  if (!p.window) return;
  FormatBounded(p.file, sizeof(p.file), p.kind == kProgressInstall ? kCopyingFormat : kRemovingFormat, path);
  p.fileChanged = 1;
  p.itemDone = 0;
  Show(0);
}

void ProgressAdvance(ULONGLONG amount) {
  Progress& p = g_progress;
  if (!p.window) return;
  p.done += amount;
  p.itemDone += amount;
  MoveBar();
  // A file that moves the bar by a hundredth or more is named at once, on a
  // fast disk too: the file a user waits for is the one on the screen. At
  // most a hundred such updates in a run.
  Show(p.fileChanged && p.total && p.itemDone * 100 >= p.total);
}

void ProgressReach(int position) {
  Progress& p = g_progress;
  if (!p.window) return;
  if (position > p.position) p.position = position > kProgressRange ? kProgressRange : position;
  Show(position >= kProgressRange);
}

void KeepProgressAnswering() {
  if (g_progress.window) Show(0);
}

HWND ProgressOwner(HWND fallback) { return g_progress.window ? g_progress.window : fallback; }

int ProgressShown() { return g_progress.window != nullptr; }

void EndProgress() {
  Progress& p = g_progress;
  if (!p.window) return;
  if (p.taskbar.p) p.taskbar->SetProgressState(p.window, TBPF_NOPROGRESS);
  p.taskbar.Release();
  DestroyWindow(p.window);
  p.window = p.fileLine = p.bar = nullptr;
}
