#include "app/main_window.h"

#include "app/prereq_checks.h"
#include "app/relocate.h"
#include "app/startup.h"
#include "app/unattended.h"
#include "app/unattended_logic.h"
#include "app/window_logic.h"
#include "base/ask_user.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/names.h"
#include "base/process_util.h"
#include "base/progress_window.h"
#include "base/system_paths.h"
#include "base/text_util.h"
#include "install/carried_package.h"
#include "install/install_sequence.h"
#include "uninstall/uninstall_sequence.h"

namespace {

int g_wndPosFrozen = 0;

const char kNotRegistered[] =
    "%s Browser is not properly registered, and could\nnot be Uninstalled";
const char kOldPlatformQuestion[] =
    "Setup has detected a previously installed version of\nLUMENFIELD that is "
    "incompatible with the current\nversion.  The previous version must be removed "
    "before\nthe new one can be installed.\n\nDo you wish to uninstall the previous "
    "version now?";
const char kIeRequired[] =
    "%s Browser requires that Microsoft Internet Explorer\nversion 3.0 or greater be "
    "installed on this machine in order to\nrun.  Please install a proper version of "
    "Internet Explorer, then\nrun this setup program again";
const char kNotInstalled[] =
    "%s Browser was not installed.\n\nPlease run 'Setup' again to complete the %s "
    "Browser\ninstallation.";
const char kIeReinstallQuestion[] =
    "%s Browser was successfully installed.\n\nPlease note that a version of Microsoft "
    "Internet Explorer that is\ncompatible with %s Browser is already installed on\n"
    "your machine.  %s Browser will probably function properly\nwith the currently "
    "installed version. Do you wish to reinstall\nInternet Explorer anyway?\n";
const char kIeInstallQuestion[] =
    "%s Browser was successfully installed.\n\nIn order to function properly, %s "
    "Browser requires\nthat Microsoft Internet Explorer be installed on your machine.\n"
    "Do you wish to install Internet Explorer now?\n";
const char kIeDeclined[] =
    "You have chosen not to install Microsoft Internet Explorer at this time.  You must "
    "install Internet Explorer version 3.0\nor greater on your machine before running "
    "%s Browser.";
const char kRunNowQuestion[] =
    "%s Browser was successfully installed.\n\nWould you like to run %s Browser now?";

const char kIeSetupFile[] = "ie5setup.exe";
const DWORD kIeSetupWaitMs = 5000;
const DWORD kViewerWaitMs = 1000;

const UINT kQuestionStyle = MB_YESNO | MB_ICONQUESTION | MB_TOPMOST | MB_SETFOREGROUND;

void PostCommand(HWND window, WPARAM command) {
  PostMessageA(window, WM_COMMAND, command, 0);
}

// A message built from a format whose every "%s" is the product name.
void ProductMessage(char* text, size_t size, const char* format) {
  FormatBounded(text, size, format, kProductName, kProductName, kProductName);
}

void OnCreateUninstall(HWND window) {
  if (g_productKey[0] == '\0') {
    NoteFailure(kExitNotRegistered);
    char text[1024];
    ProductMessage(text, sizeof(text), kNotRegistered);
    QuietMessageBox(window, text, g_uninstallCaption, MB_OK | MB_ICONERROR | MB_TOPMOST);
    DeleteUninstallerOfNoProduct();
    EndRun(window);
    return;
  }
  PostCommand(window, kCmdUninstall);
}

void OnCreateSetup(HWND window) {
  if (IsOldPlatformInstalled()) {
    // A silent setup never removes another installation unasked.
    if (AskUser(window, kOldPlatformQuestion, g_setupCaption,
                MB_YESNO | MB_ICONQUESTION | MB_TOPMOST, IDNO) == IDNO) {
      NoteFailure(kExitOldPlatform);
      EndRun(window);
      return;
    }
    RemovePreviousVersion();
  } else if (!CheckReplacedBrowser()) {
    NoteFailure(kExitOtherBrand);
    EndRun(window);
    return;
  }
  if (!IsInternetExplorerPresent() && !g_ieSetup) {
    char text[1024];
    ProductMessage(text, sizeof(text), kIeRequired);
    NoteFailure(kExitNoIE);
    AskUser(window, text, g_setupCaption, MB_OK | MB_ICONWARNING | MB_TOPMOST, IDOK);
    EndRun(window);
    return;
  }
  PostCommand(window, kCmdInstall);
}

// The closing questions of a successful install. Fills the follow-up command
// line (empty for none) and the time to wait for it; *asDesktopUser is set
// for the viewer, a browser of web content that must not run with the
// setup's administrator rights.
void AskClosingQuestions(HWND window, char* followUp, size_t size, DWORD* waitMs, int* asDesktopUser) {
  char text[1024];
  if (g_ieSetup) {
    int answer;
    if (IsInternetExplorerPresent()) {
      ProductMessage(text, sizeof(text), kIeReinstallQuestion);
      answer = AskUser(window, text, g_setupCaption, kQuestionStyle, IDNO);
    } else {
      // A silent setup starts no other setup: the package's own
      // Internet Explorer setup is left to the administrator.
      ProductMessage(text, sizeof(text), kIeInstallQuestion);
      answer = AskUser(window, text, g_setupCaption, kQuestionStyle, IDNO);
      if (answer == IDNO) {
        ProductMessage(text, sizeof(text), kIeDeclined);
        AskUser(window, text, g_setupCaption,
                MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND, IDOK);
      }
    }
    if (answer == IDYES)
      *waitMs = kIeSetupWaitMs;
    else
      followUp[0] = '\0';
    return;
  }
  ProductMessage(text, sizeof(text), kRunNowQuestion);
  // A silent setup does not start the viewer.
  if (AskUser(window, text, g_setupCaption, kQuestionStyle, IDNO) == IDYES) {
    // A viewer path too long for the command line starts nothing rather than
    // a cut path.
    if (FormatBounded(followUp, size, "\"%s\\%s\"", g_installDir, g_viewerExe)) {
      *waitMs = kViewerWaitMs;
      *asDesktopUser = 1;
    }
  }
}

// The package's Internet Explorer setup: in the current folder, or in the
// folder a download put its package's texts in. Empty when the path does
// not fit.
void IeSetupPath(char* full, size_t size) {
  char folder[kPathSize];
  DWORD length = 0;
  if (IsPackageCarried() ? !GetPackageFolder(folder, sizeof(folder)) ||
                               !FormatBounded(full, size, "%s%s", folder, kIeSetupFile)
                         : (length = GetFullPathNameA(kIeSetupFile, static_cast<DWORD>(size), full, nullptr)) == 0 ||
                               length >= size)
    full[0] = '\0';
}

void RunInstallCommand(HWND window) {
  char followUp[kPathSize + 2] = "";
  DWORD waitMs = 0;
  int asDesktopUser = 0;
  ScopedHandle ieSetupFile;
  if (g_ieSetup) {
    // Started by its full path in quotes: by its bare name Windows would
    // look beside this program first.
    char ieSetup[kPathSize];
    IeSetupPath(ieSetup, sizeof(ieSetup));
    if (ieSetup[0]) FormatBounded(followUp, sizeof(followUp), "\"%s\"", ieSetup);
    // Held with delete-on-close: the package's Internet Explorer setup goes
    // away when this handle is closed at the end of the run.
    if (ieSetup[0])
      ieSetupFile.h = CreateFileA(ieSetup, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  }

  if (!RunInstall(window)) {
    NoteFailure(kExitNotCompleted);
    char text[1024];
    ProductMessage(text, sizeof(text), kNotInstalled);
    AskUser(window, text, g_setupCaption, MB_OK | MB_ICONWARNING | MB_TOPMOST, IDOK);
    EndProgress();
  } else {
    AskClosingQuestions(window, followUp, sizeof(followUp), &waitMs, &asDesktopUser);
    // The progress window, at its end, stays under the closing question.
    EndProgress();
    if (followUp[0] != '\0' && asDesktopUser)
      StartAsDesktopUserAndWait(followUp, g_installDir, waitMs);
    else if (followUp[0] != '\0')
      StartAndWaitForExit(followUp, g_installDir, waitMs);
  }
  ieSetupFile.Close();
  EndRun(window);
}

}  // namespace

void EndRun(HWND window) {
  PostMessageA(window, WM_DESTROY, 0, 0);
}

int OnCreate(HWND window) {
  if (g_uninstallMode)
    OnCreateUninstall(window);
  else
    OnCreateSetup(window);
  return 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case kCmdUninstall:
      UninstallProduct(window);
      EndRun(window);
      return 0;
    case kCmdInstall:
      RunInstallCommand(window);
      return 0;
    default:
      return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
  }
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      FreezePosFlags(&g_wndPosFrozen, 0);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_WINDOWPOSCHANGING: {
      WINDOWPOS* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      pos->flags = FreezePosFlags(&g_wndPosFrozen, pos->flags);
      return 0;
    }
    case WM_COMMAND:
      return OnCommand(window, wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
