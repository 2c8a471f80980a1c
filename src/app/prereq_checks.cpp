#include "app/prereq_checks.h"

#include <windows.h>
#include <cstring>

#include "app/prereq_logic.h"
#include "app/run_mode_logic.h"
#include "app/unattended.h"
#include "app/unattended_logic.h"
#include "base/ask_user.h"
#include "base/file_queries.h"
#include "base/globals.h"
#include "base/names.h"
#include "base/process_util.h"
#include "base/system_paths.h"
#include "base/text_util.h"
#include "install/install_logic.h"
#include "install/script_files.h"
#include "install/script_store.h"
#include "registry/product_registry.h"
#include "registry/reg_helpers.h"

namespace {

const char kOldPlatformKey[] = "SOFTWARE\\LUMENFIELD Corporation\\LUMENFIELD";
const char kOldAuthoringKey[] = "SOFTWARE\\LUMENFIELD Corporation\\LUMENCRAFTER";
const char kViewerAppPathsKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\LFViewer.exe";
const char kViewerMakerKey[] = "SOFTWARE\\LUMENFIELD Corporation\\LFViewer";
const char kDefaultBrand[] = "LUMENFIELD";
const char kShdocvw[] = "\\shdocvw.dll";
const DWORD kPreviousUninstallWaitMs = 5000;
enum { kCommandSize = 1024, kMessageSize = 1024 };

const char kReplaceQuestion[] =
    "Setup has detected the %s Browser. This will be replaced \nby the %s Browser. Do you "
    "wish to continue?";
const char kUnstableWarning[] =
    "It is strongly recommended that you continue with the installation as the existing "
    "version is unstable. If you choose not to continue, the uninstall will be disabled to "
    "prevent corruption of your data. Select Yes to continue.";

// A key that exists but does not open with full access counts as absent.
int KeyOpensWithFullAccess(const char* subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return 0;
  RegCloseKey(key);
  return 1;
}

}  // namespace

int IsOldPlatformInstalled() {
  return KeyOpensWithFullAccess(kOldPlatformKey) || KeyOpensWithFullAccess(kOldAuthoringKey);
}

void RemovePreviousVersion() {
  char command[kCommandSize];
  GetRegString(HKEY_LOCAL_MACHINE, kProductUninstallKey, kUninstallStringValue, command,
               sizeof(command));
  char ownUninstaller[kPathSize];
  if (!BuildWindowsPath(kUninstallerFileName, ownUninstaller, sizeof(ownUninstaller))) return;
  // A command too long to take its switch is not run: cut, it could start
  // the wrong program or the uninstaller without its switch.
  // A command that is a program's path alone is quoted, whatever its blanks.
  int wholeIsProgram = command[0] != '"' && NameExists(command);
  if (!AppendUninstallSwitch(command, sizeof(command), ownUninstaller, wholeIsProgram)) return;
  // The uninstaller starts in the detected product folder; with none
  // detected it starts in this program's own folder, since an empty folder
  // name would make the start fail.
  StartAndWaitForExit(command, g_installDir[0] ? g_installDir : nullptr, kPreviousUninstallWaitMs);
}

int CheckReplacedBrowser() {
  g_replaceConfirmed = 0;
  char viewerFolder[kPathSize];
  if (!GetRegString(HKEY_LOCAL_MACHINE, kViewerAppPathsKey, kAppPathValue, viewerFolder,
                    sizeof(viewerFolder)))
    return 1;
  if (!EndsInWorldFolder(viewerFolder)) g_migrateOldDir = 1;

  // A "Brand" value too long for the buffer is read as no value at all, and
  // the default brand stands in for it: a brand is never cut. A browser
  // without a brand whose install or uninstall this product began and did
  // not end is this product's own, half written or half removed: the run
  // finishes it rather than asking to replace it.
  if (!GetRegString(HKEY_LOCAL_MACHINE, kViewerMakerKey, kBrandValue, g_brandName,
                    sizeof(g_brandName) - 1)) {
    char unfinished[kPathSize];
    ReadUnfinishedRun(g_uninstScriptPath, kViewerKey, unfinished, sizeof(unfinished));
    CopyBounded(unfinished[0] ? kProductName : kDefaultBrand, g_brandName, sizeof(g_brandName));
  }
  if (strcmp(g_brandName, kProductName) == 0) return 1;

  char text[kMessageSize];
  FormatBounded(text, sizeof(text), kReplaceQuestion, g_brandName, kProductName);
  // A silent setup never replaces another brand unasked.
  if (AskUser(nullptr, text, g_setupCaption, MB_YESNO | MB_ICONQUESTION | MB_TOPMOST, IDNO) !=
      IDNO) {
    g_replaceConfirmed = 1;
    return 1;
  }
  if (!g_migrateOldDir) return 0;
  if (AskUser(nullptr, kUnstableWarning, g_setupCaption, MB_YESNO | MB_ICONWARNING | MB_TOPMOST,
              IDNO) != IDNO) {
    g_replaceConfirmed = 1;
    return 1;
  }
  // The older uninstaller loses its entry for the viewer, so that it cannot
  // remove the files the unstable installation still uses.
  char olderLog[kPathSize];
  if (BuildOlderLogPath(olderLog, sizeof(olderLog)))
    WriteScriptString(olderLog, kSectionPaths, kViewerKey, nullptr);
  return 0;
}

int IsInternetExplorerPresent() {
  char path[kPathSize];
  UINT length = GetSystemDirectoryA(path, sizeof(path));
  if (length == 0 || length >= sizeof(path) || !CopyBounded(kShdocvw, path + length, sizeof(path) - length))
    return 0;
  DWORD most = 0, least = 0;
  if (!GetFileVersionNumbers(path, &most, &least)) return 0;
  int generation = IeGenerationForVersion(most);
  if (generation == 0) return 0;
  g_ieGeneration = generation;
  return 1;
}
