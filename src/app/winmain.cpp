// The program's entry point: run mode, hidden window, COM, message loop.
#include <windows.h>
#include <objbase.h>

#include "app/payload.h"
#include "app/startup.h"
#include "app/unattended.h"
#include "app/unattended_logic.h"
#include "base/ask_user.h"
#include "base/system_library.h"

namespace {
const char kComFailed[] = "Can't initalize COM.";
const char kComFailedCaption[] = "Error";
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Before any library is loaded: the program runs as administrator from
  // folders others can write to.
  RestrictLibrarySearch();
  // A single-file download runs the package it carries, before anything else.
  int carriedExitCode = 0;
  if (RunCarriedPackage(&carriedExitCode)) return carriedExitCode;
  if (!RegisterMainClass(instance)) {
    NoteFailure(kExitStartFailed);
    return FinishRun(0);
  }
  if (!DecideRunMode()) return FinishRun(0);
  if (!InitInstance(instance)) {
    NoteFailure(kExitStartFailed);
    return FinishRun(0);
  }

  HRESULT hr = CoInitialize(nullptr);
  if (hr != S_OK && hr != S_FALSE) {
    NoteFailure(kExitStartFailed);
    AskUser(nullptr, kComFailed, kComFailedCaption, MB_OK, IDOK);
    return FinishRun(0);
  }

  MSG msg = {};
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  CoUninitialize();
  // The quit message carries 0; a failed GetMessageA leaves no value to pass on.
  return FinishRun(got == 0 ? static_cast<int>(msg.wParam) : 0);
}
