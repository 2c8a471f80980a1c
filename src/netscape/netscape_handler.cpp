#include "netscape/netscape_handler.h"

#include "base/ask_user.h"
#include "base/file_queries.h"
#include "base/file_replace.h"
#include "base/globals.h"
#include "base/names.h"
#include "base/text_util.h"
#include "netscape/netscape_logic.h"
#include "registry/product_registry.h"
#include "registry/reg_helpers.h"

const char kNetscapeProgramName[] = "netscp6.exe";
const char kNetscapeRegisterQuestion[] =
    "Setup has detected that Netscape Navigator is installed on your system.\n\nIt is "
    "recommended that the %s Browser protocols be registered\nnow with the Netscape "
    "browser.  This will enable you to launch QVORNs\nfrom within the Netscape browser.\n\n"
    "If you choose to register the protocols, the Netscape browser will be\nlaunched during "
    "the registration process.  This is a Netscape\nrequirement.  Please press the "
    "appropriate buttons to allow it to run.\nIt will be shut down automatically.\n\nIf you "
    "choose not to register the protocols, the QVORNS will only work\nproperly from within "
    "Microsoft Internet Explorer.\n\n\nDo you wish to register the %s Browser protocols "
    "with Netscape\nNavigator?\n";

namespace {

const char kRetryCaption[] = "Install";
const char kNoticeCaption[] = "Uninstall";
const char kMissingCaption[] = "Installing LUMENFIELD";
const char kHandlerMissing[] =
    "Vorn Protocol has not been registered with Netscape 6\n nkvorn.dll was not installed. "
    "Please reinstall the LUMENFIELD Browser for full functionality";
const char kLeftRegistered[] =
    "The vorn protocol handler has not been removed and will remain registered.\n "
    "\t\t\t\t\t\t\t\t\t\t\t\t\tAre you sure you want to leave the protocol handler? \n"
    "\t\t\t\t\t\t\t\t\t\t\t\t\t(To un-register manually, just remove the 'nkvorn.dll' file "
    "from the Netscape Components directory)";
enum { kRetryTextSize = 260, kQuestionSize = 1024 };

// After a failed attempt: the Retry/Cancel message, which a quiet run shows
// too. 1 when the user chose Retry.
int AskRetry(HWND owner, int remove, DWORD error) {
  char text[kRetryTextSize];
  BuildNetscapeRetryText(text, sizeof(text), remove, error);
  return AskUser(owner, text, kRetryCaption, MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDCANCEL) ==
         IDRETRY;
}

void RemoveHandler(HWND owner, const NetscapePaths& paths) {
  for (;;) {
    DWORD error = DeleteFileA(paths.installedHandler) ? 0 : ExcuseMissing(GetLastError());
    if (error == 0) return;
    if (!AskRetry(owner, 1, error)) break;
  }
  QuietMessageBox(owner, kLeftRegistered, kNoticeCaption, MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
}

void InstallHandler(HWND owner, const NetscapePaths& paths, int present, int confirmed) {
  if (!FileExists(paths.productHandler)) {
    AskUser(nullptr, kHandlerMissing, kMissingCaption, MB_OK, IDOK);
    return;
  }
  // Netscape keeps a copy at least as new as the product's.
  if (present && !IsInstalledFileNewer(paths.productHandler, paths.installedHandler)) return;
  if (!confirmed) {
    char text[kQuestionSize];
    FormatBounded(text, sizeof(text), kNetscapeRegisterQuestion, kProductName, kProductName);
    if (AskUser(owner, text, g_setupCaption, MB_YESNO | MB_ICONQUESTION | MB_TOPMOST, IDNO) !=
        IDYES)
      return;
  }
  for (;;) {
    DWORD error = 0;
    if (!CopyReplacing(paths.productHandler, paths.installedHandler))
      error = GetLastError();
    else if (!DeleteFileA(paths.componentRegistry))
      error = ExcuseMissing(GetLastError());
    if (error == 0 || !AskRetry(owner, 0, error)) return;
  }
}

}  // namespace

void UpdateNetscapeHandler(HWND owner, const char* executableName, int confirmed, int remove) {
  char key[kPathSize], folder[kPathSize];
  if (!FormatBounded(key, sizeof(key), "%s%s", kAppPathsKey, executableName)) return;
  if (!GetRegString(HKEY_LOCAL_MACHINE, key, kAppPathValue, folder, sizeof(folder))) return;
  // A Netscape or product folder too long for one of the paths leaves
  // Netscape as it is rather than copy to or delete a cut path.
  NetscapePaths paths;
  if (!BuildNetscapePaths(folder, executableName, g_installDir, &paths)) return;
  if (!NameExists(paths.executable)) return;
  int present = NameExists(paths.installedHandler);
  if (remove) {
    if (present) RemoveHandler(owner, paths);
    return;
  }
  InstallHandler(owner, paths, present, confirmed);
}
