#include "app/startup.h"

#include <stdlib.h>

#include "app/main_window.h"
#include "app/product_detect.h"
#include "app/relocate.h"
#include "app/run_mode_logic.h"
#include "app/unattended.h"
#include "app/unattended_logic.h"
#include "app/window_logic.h"
#include "base/ask_user.h"
#include "base/code_page.h"
#include "base/globals.h"
#include "base/names.h"
#include "base/run_log.h"
#include "base/system_paths.h"
#include "base/text_util.h"
#include "install/script_files.h"
#include "resources/resource_ids.h"

const char kSetupCaptionText[] = LF_PRODUCT " Browser Installation";

namespace {

const char kMainClassName[] = "InstallWClass";

const char kMainWindowTitle[] = "Install";
const int kNominalWidth = 440;
const int kNominalHeight = 270;

const char kBrowserClassName[] = "LumenFieldClass";
const char kSetupSwitch[] = "\\f";

const char kUninstallBrowserRunning[] =
    "%s Browser cannot be removed while a\nLUMENFIELD Powered Browser is running.\n\n"
    "Press 'OK' to shut down the Browser now and proceed with\nthe uninstall, or "
    "press 'Cancel' to terminate the uninstallation\nprocess.";
const char kSetupBrowserRunning[] =
    "%s Browser cannot be installed while a\nLUMENFIELD Powered Browser is running.\n\n"
    "Press 'OK' to shut down the Browser and proceed with\nthe installation, or "
    "press 'Cancel' to terminate the installation\nprocess.";
const char kSetupBrowserCaptionFormat[] = "%s Installation";
const char kRemoveQuestion[] = "You are about to remove %s Browser.\nDo you wish to proceed?";
const char kRelocationFailed[] =
    "Unable to create temp file. %s Browser \nwill not be Uninstalled.";

const char kCriticalErrorCaptionText[] = LF_PRODUCT " Browser Installation Critical Error";
const char kUninstallErrorCaptionText[] = LF_PRODUCT " Browser Uninstall Error";
const char kUninstallCaptionText[] = "Uninstall " LF_PRODUCT " Browser";

const char kBadCommandLine[] =
    "The command line is not valid:\n\n%s\n\nUse /S, /LOG=file and, last, /D=folder (a full path).";
const char kLogNotWritable[] = "The log file cannot be written:\n\n%s";

const char kUninstallScriptRelative[] = "inf\\LFUninst.inf";

// Asks the user to close every running platform browser; the question comes
// back each second for as long as a browser window exists. Returns 0 when
// the user cancels.
int CloseRunningBrowsers() {
  HWND browser;
  while ((browser = FindWindowA(kBrowserClassName, nullptr)) != nullptr) {
    if (g_silent) {
      // A silent setup never closes the user's browser: it ends instead.
      LogLine("a LUMENFIELD browser is running: left running");
      NoteFailure(kExitBrowserRunning);
      return 0;
    }
    char text[1024];
    char caption[kCaptionSize];
    if (g_uninstallMode) {
      FormatBounded(text, sizeof(text), kUninstallBrowserRunning, kProductName);
      CopyBounded(kUninstallCaptionText, caption, sizeof(caption));
    } else {
      FormatBounded(text, sizeof(text), kSetupBrowserRunning, kProductName);
      FormatBounded(caption, sizeof(caption), kSetupBrowserCaptionFormat, kProductName);
    }
    // Always shown: the quiet switch has not been read yet.
    if (AskUser(nullptr, text, caption, MB_OKCANCEL | MB_ICONINFORMATION | MB_TOPMOST,
                IDCANCEL) == IDCANCEL) {
      NoteFailure(kExitBrowserRunning);
      return 0;
    }
    SendMessageA(browser, WM_CLOSE, 0, 0);
    Sleep(1000);
  }
  return 1;
}

// Interactive uninstall: confirm, then hand over to a copy in the temporary
// folder. Always returns 0: this process ends here either way.
int AskAndRelocate(const char* ownPath) {
  char text[1024];
  FormatBounded(text, sizeof(text), kRemoveQuestion, kProductName);
  if (QuietMessageBox(nullptr, text, kUninstallCaptionText,
                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TOPMOST) == IDNO) {
    NoteFailure(kExitUninstallDeclined);
    return 0;
  }
  if (RelaunchFromTemp(ownPath)) return 0;
  NoteFailure(kExitNoTemporaryCopy);
  FormatBounded(text, sizeof(text), kRelocationFailed, kProductName);
  QuietMessageBox(nullptr, text, kUninstallCaptionText, MB_OK | MB_ICONERROR | MB_TOPMOST);
  return 0;
}

}  // namespace

int RegisterMainClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = 0;
  wc.lpfnWndProc = MainWndProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kMainClassName;
  return RegisterClassA(&wc) != 0;
}

int DecideRunMode() {
  char ownPath[kPathSize];
  // A name that did not fit is not the uninstaller's: such a run is a setup.
  GetOwnPath(ownPath, sizeof(ownPath));
  g_uninstallMode = IsUninstallerPath(ownPath);

  // The unattended switches come out of the arguments first: a silent
  // setup must not show even the running-browser question.
  int argc = __argc;
  char** argv = __argv;
  SwitchResult switches = TakeSwitchesAndOpenLog(&argc, argv);
  if (switches != kSwitchesTaken) {
    NoteFailure(kExitBadCommandLine);
    char text[1024];
    FormatBounded(text, sizeof(text), switches == kSwitchBad ? kBadCommandLine : kLogNotWritable,
                  GetCommandLineA());
    QuietMessageBox(nullptr, text, g_uninstallMode ? kUninstallCaptionText : kSetupCaptionText,
                    MB_OK | MB_ICONERROR | MB_TOPMOST);
    return 0;
  }

  if (!CloseRunningBrowsers()) return 0;

  if (!g_uninstallMode) {
    g_ieSetup = LastArgumentIs(argc, argv, kSetupSwitch);
    return 1;
  }

  if (LastArgumentIs(argc, argv, kQuietUninstallSwitch)) g_quiet = 1;
  // A quiet uninstall is run by programs (a previous version's setup, a
  // deployment tool), which read its outcome from the exit code.
  if (g_quiet) g_codedExit = 1;
  UninstallStart start = ChooseUninstallStart(argc, g_quiet);
  // The uninstaller's "/S" alone is a quiet uninstall in place, as "\s" is.
  if (g_quiet && start == kAskAndRelocate) start = kRunInPlace;
  switch (start) {
    case kAskAndRelocate:
      return AskAndRelocate(ownPath);
    case kFinishRelocation:
      FinishRelocation(argv[1], argv[2]);
      OpenRelocatedLog();
      ScheduleCopyFolderRemoval();
      return 1;
    case kRunInPlace:
      break;
  }
  return 1;
}

int LoadCaptions() {
  return CopyBounded(kSetupCaptionText, g_setupCaption, sizeof(g_setupCaption)) &&
         CopyBounded(kCriticalErrorCaptionText, g_criticalErrorCaption,
                     sizeof(g_criticalErrorCaption)) &&
         CopyBounded(kUninstallErrorCaptionText, g_uninstallErrorCaption,
                     sizeof(g_uninstallErrorCaption)) &&
         CopyBounded(kUninstallCaptionText, g_uninstallCaption, sizeof(g_uninstallCaption));
}

int InitInstance(HINSTANCE instance) {
  g_hInstance = instance;

  // A Windows folder too long for the script path leaves the path empty
  // rather than cut; the script operations then find no file.
  BuildWindowsPath(kUninstallScriptRelative, g_uninstScriptPath, sizeof(g_uninstScriptPath));
  // Scripts an earlier version wrote in the system's old code page are read
  // in UTF-8 from now on: their names must still match the files.
  ConvertOldCodePageScript(g_uninstScriptPath);
  char olderLog[kPathSize];
  if (BuildOlderLogPath(olderLog, sizeof(olderLog))) ConvertOldCodePageScript(olderLog);

  DetectInstalledProduct();

  if (!LoadCaptions()) return 0;

  RECT workArea;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0)) return 0;
  int x = WindowOrigin(workArea.right - workArea.left, kNominalWidth);
  int y = WindowOrigin(workArea.bottom - workArea.top, kNominalHeight);

  HWND window = CreateWindowExA(0, kMainClassName, kMainWindowTitle, WS_OVERLAPPEDWINDOW,
                                x, y, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return 0;
  ShowWindow(window, SW_HIDE);
  UpdateWindow(window);
  return 1;
}
