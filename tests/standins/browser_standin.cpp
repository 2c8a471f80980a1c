// Plays a running platform browser: a top-level "LumenFieldClass" window the
// setup is expected to find and ask to close. With --ignore-close it refuses,
// like a browser busy with a modal prompt.

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "standin_log.h"

namespace {

const UINT_PTR kGiveUpTimer = 1;
const UINT kGiveUpMs = 120000;  // never outlive a test run that forgot us
bool g_ignoreClose = false;

LRESULT CALLBACK BrowserProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      if (g_ignoreClose) return 0;
      DestroyWindow(hwnd);
      return 0;
    case WM_TIMER:
      if (wp == kGiveUpTimer) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  AppendStandinLog();
  for (int i = 1; i < __argc; ++i)
    if (strcmp(__argv[i], "--ignore-close") == 0) g_ignoreClose = true;

  WNDCLASSA wc{};
  wc.lpfnWndProc = BrowserProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "LumenFieldClass";
  if (!RegisterClassA(&wc)) return 2;
  HWND hwnd = CreateWindowExA(0, "LumenFieldClass", "LUMENFIELD Browser", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 3;
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  if (!SetTimer(hwnd, kGiveUpTimer, kGiveUpMs, nullptr)) return 4;

  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return got == 0 ? 0 : 5;
}
