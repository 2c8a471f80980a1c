#include "wizard/setup_wizard.h"

#include "base/ask_user.h"
#include "base/code_page.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/heap_text.h"
#include "base/names.h"
#include "base/run_log.h"
#include "base/system_paths.h"
#include "base/text_util.h"
#include "resources/resource_ids.h"
#include "wizard/destination_page.h"
#include "wizard/wizard_logic.h"

int g_licenseAccepted = 0;

namespace {

const char kAccessError[] = "Error accessing file: %s";
const char kMemoryError[] = "Error allocating memory for license text.";
const char kReadError[] = "Error reading license file: %s";

// The page titles as stored in the records; the sheet shows the templates'.
const char kWelcomeTitle[] = "Welcome";
const char kDestinationTitle[] = "Choose a Destination Location";
const char kFinishTitle[] = "Complete the Installation";

void ShowLicenseError(HWND dialog, const char* format, const char* path) {
  char text[kPathSize + 64];
  FormatBounded(text, sizeof(text), format, path);
  AskUser(dialog, text, g_criticalErrorCaption, MB_OK | MB_TOPMOST, IDOK);
}

// The licence file beside the setup script; 0 (with `folder` still the
// package's folder) when the folder is too long for the name.
int BuildLicensePath(char* folder, char* full, size_t size) {
  GetPackageFolder(folder, kPathSize);
  return FormatBounded(full, size, "%s%s", folder, kLicenseFileName);
}

// Reads "license.txt" beside the program into the text box. Every failure
// shows its message and ends the setup with the quit message.
void LoadLicenseText(HWND dialog) {
  char path[kPathSize] = "";
  char full[kPathSize];
  if (!BuildLicensePath(path, full, sizeof(full))) {
    // A program folder too long for the name: the file cannot be opened.
    ShowLicenseError(dialog, kAccessError, path);
    PostQuitMessage(0);
    return;
  }
  ScopedHandle file(CreateFileA(full, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    ShowLicenseError(dialog, kAccessError, full);
    PostQuitMessage(0);
    return;
  }
  DWORD size = GetFileSize(file.h, nullptr);
  HeapText text(size == INVALID_FILE_SIZE ? 0 : size + 1);
  if (size != INVALID_FILE_SIZE && !text) {
    file.Close();
    AskUser(dialog, kMemoryError, g_criticalErrorCaption, MB_OK | MB_TOPMOST, IDOK);
    PostQuitMessage(0);
    return;
  }
  DWORD got = 0;
  if (size == INVALID_FILE_SIZE || !ReadFile(file.h, text.get(), size, &got, nullptr)) {
    // An unreadable licence ends the setup like the two other file errors:
    // a dialog with an empty text could still be accepted unread.
    ShowLicenseError(dialog, kReadError, full);
    PostQuitMessage(0);
    return;
  }
  file.Close();
  // Only the bytes actually read, so a file that shrank since its size was
  // taken never shows uninitialised memory; saved in UTF-8 or in the
  // system's old code page, it shows the same.
  HeapText shown;
  if (!ToProgramCodePage(text.get(), got, &shown)) {
    AskUser(dialog, kMemoryError, g_criticalErrorCaption, MB_OK | MB_TOPMOST, IDOK);
    PostQuitMessage(0);
    return;
  }
  SetDlgItemTextA(dialog, IDC_LICENSE_TEXT, shown.get());
  SetFocus(GetDlgItem(dialog, IDC_LICENSE_TEXT));

  RECT own, owner;
  if (GetWindowRect(dialog, &own) && GetWindowRect(GetParent(dialog), &owner))
    MoveWindow(dialog, owner.left, owner.top, own.right - own.left, own.bottom - own.top, TRUE);
}

// The licence step of the Welcome page's Next: asked once per run.
INT_PTR LicenseStep(HWND welcomePage) {
  if (g_licenseAccepted) return TRUE;
  INT_PTR answer = DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_LICENSE), welcomePage,
                                   LicenseDlgProc, 0);
  if (answer == IDC_ACCEPT) {
    LogLine("licence accepted");
    g_licenseAccepted = 1;
    return TRUE;
  }
  LogLine("licence not accepted");
  PostQuitMessage(0);
  // The sheet stays on this page: turning it would show the next page for
  // the moment until the quit message ends the wizard.
  return PageResult(welcomePage, -1);
}

}  // namespace

INT_PTR PageResult(HWND page, LONG_PTR result) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
  return TRUE;
}

void FillWizardPage(PROPSHEETPAGEA* page, int templateId, const char* title, DLGPROC proc) {
  ZeroMemory(page, sizeof(*page));
  page->dwSize = sizeof(*page);
  page->dwFlags = PSP_DEFAULT;
  page->hInstance = g_hInstance;
  page->pszTemplate = MAKEINTRESOURCEA(templateId);
  page->pfnDlgProc = proc;
  page->pszTitle = title;
}

void LogPageShown(HWND page) {
  char title[kCaptionSize];
  if (GetWindowTextA(page, title, sizeof(title)) > 0) LogLine("wizard page: %s", title);
}

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) return PageResult(page, 0);
  if (message != WM_NOTIFY) return FALSE;
  switch (reinterpret_cast<NMHDR*>(lParam)->code) {
    case PSN_SETACTIVE:
      LogPageShown(page);
      PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
      return TRUE;
    case PSN_KILLACTIVE:
    case PSN_RESET:
      return PageResult(page, 0);
    case PSN_WIZNEXT:
      return LicenseStep(page);
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message != WM_NOTIFY) return FALSE;
  switch (reinterpret_cast<NMHDR*>(lParam)->code) {
    case PSN_SETACTIVE:
      LogPageShown(page);
      PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_FINISH);
      return TRUE;
    case PSN_KILLACTIVE:
    case PSN_RESET:
      return PageResult(page, 0);
    case PSN_WIZBACK:
    case PSN_WIZFINISH:
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK LicenseDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      LoadLicenseText(dialog);
      return FALSE;  // the focus is on the text
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_ACCEPT || LOWORD(wParam) == IDC_REJECT)
        EndDialog(dialog, LOWORD(wParam));
      return FALSE;
    case WM_CLOSE:
      PostQuitMessage(0);
      return TRUE;
    default:
      return FALSE;
  }
}

int RunSetupWizard(HWND owner, HINSTANCE instance) {
  PROPSHEETPAGEA pages[3];
  UINT count = 0;
  FillWizardPage(&pages[count++], IDD_WELCOME, kWelcomeTitle, WelcomePageProc);
  if (g_installDir[0] == '\0') {
    // "/D=" offers its folder on the page instead of the default one.
    CopyBounded(g_destinationSwitch[0] ? g_destinationSwitch : kDefaultInstallDir, g_installDir,
                sizeof(g_installDir));
    FillWizardPage(&pages[count++], IDD_DESTINATION, kDestinationTitle, DestinationPageProc);
  }
  FillWizardPage(&pages[count++], IDD_FINISH, kFinishTitle, FinishPageProc);

  PROPSHEETHEADERA header;
  ZeroMemory(&header, sizeof(header));
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW;
  header.hwndParent = owner;
  header.hInstance = instance;
  header.pszCaption = g_setupCaption;
  header.nPages = count;
  header.nStartPage = 0;
  header.ppsp = pages;
  return static_cast<int>(PropertySheetA(&header));
}

int RunSilentWizard() {
  // The switch accepts the licence; the file must still be there to accept.
  char folder[kPathSize] = "";
  char full[kPathSize];
  ScopedHandle license;
  if (BuildLicensePath(folder, full, sizeof(full)))
    license.h = CreateFileA(full, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!license.Valid()) {
    LogLine("licence not found: %s", full);
    NoteFailure(kExitLicenseMissing);
    return -1;
  }
  license.Close();
  LogLine("licence accepted by the silent switch: %s", full);
  g_licenseAccepted = 1;

  if (g_installDir[0] != '\0') {
    // An installed product keeps its folder; "/D=" is for first installs.
    if (g_destinationSwitch[0]) LogLine("destination switch ignored: the product is installed");
    return 1;
  }
  CopyBounded(g_destinationSwitch[0] ? g_destinationSwitch : kDefaultInstallDir, g_installDir,
              sizeof(g_installDir));
  if (CheckDiskSpace(nullptr, g_installDir, g_setupScriptPath)) return 1;
  NoteFailure(kExitDiskSpace);
  return -1;
}
