// Plays the product's viewer (and its control program LFCtrl.exe) as the
// setup starts them: it records how it was started, becomes input-idle so the
// starter's WaitForInputIdle returns, then quits with exit code 0. With
// "--stay" it keeps running (and its file in use) until it is ended, as a
// control program that the user left open. "--hold PATH" also keeps PATH
// open without sharing until it is ended, as a running Netscape holds its
// components.

#include <windows.h>

#include <cstring>

#include "standin_log.h"

namespace {

const UINT_PTR kQuitTimer = 1;
const UINT kQuitAfterMs = 150;

LRESULT CALLBACK ViewerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == kQuitTimer) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  AppendStandinLog();
  WNDCLASSA wc{};
  wc.lpfnWndProc = ViewerProc;
  wc.hInstance = instance;
  wc.lpszClassName = "LumenFieldViewerStandin";
  if (!RegisterClassA(&wc)) return 2;
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Viewer stand-in", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 320, 240, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 3;
  ShowWindow(hwnd, show);
  // The message loop below is what makes WaitForInputIdle return; the timer
  // keeps the viewer from lingering once it has served that purpose.
  bool stay = strstr(GetCommandLineA(), "--stay") != nullptr;
  HANDLE held = INVALID_HANDLE_VALUE;
  for (int i = 1; i + 1 < __argc; ++i)
    if (strcmp(__argv[i], "--hold") == 0 &&
        (held = CreateFileA(__argv[i + 1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) ==
            INVALID_HANDLE_VALUE)
      return 6;
  if (!stay && !SetTimer(hwnd, kQuitTimer, kQuitAfterMs, nullptr)) return 4;

  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  return got == 0 ? 0 : 5;
}
