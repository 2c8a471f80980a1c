// The program's entry point: run mode, hidden window, COM, message loop.
#include <windows.h>
#include <objbase.h>

#include "app/startup.h"

namespace {
const char kComFailed[] = "Can't initalize COM.";
const char kComFailedCaption[] = "Error";
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (!RegisterMainClass(instance)) return 0;
  if (!DecideRunMode()) return 0;
  if (!InitInstance(instance)) return 0;

  HRESULT hr = CoInitialize(nullptr);
  if (hr != S_OK && hr != S_FALSE) {
    MessageBoxA(nullptr, kComFailed, kComFailedCaption, MB_OK);
    return 0;
  }

  MSG msg = {};
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  CoUninitialize();
  // The quit message carries 0; a failed GetMessageA leaves no value to pass on.
  return got == 0 ? static_cast<int>(msg.wParam) : 0;
}
