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

namespace {

// The setup or uninstall run after the start: its exit code, before the run's
// end is logged.
int RunProgram(HINSTANCE instance) {
  if (!RegisterMainClass(instance)) {
    NoteFailure(kExitStartFailed);
    return 0;
  }
  if (!DecideRunMode()) return 0;
  if (!InitInstance(instance)) {
    NoteFailure(kExitStartFailed);
    return 0;
  }

  HRESULT hr = CoInitialize(nullptr);
  if (hr != S_OK && hr != S_FALSE) {
    NoteFailure(kExitStartFailed);
    AskUser(nullptr, kComFailed, kComFailedCaption, MB_OK, IDOK);
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

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Before any library is loaded: the program runs as administrator from
  // folders others can write to.
  RestrictLibrarySearch();
  // A single-file download installs from the package it carries.
  int exitCode = 0;
  if (StartFromCarriedPackage(&exitCode) < 0) return exitCode;
  exitCode = RunProgram(instance);
  // What cannot go now goes at the restart, which the exit code then tells.
  EndCarriedPackage();
  return FinishRun(exitCode);
}
